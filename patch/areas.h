// Closing every work area after a migration group or a failed section: pending record writes
// are committed with their own area selected (so index keys built from expressions over the
// record's fields see that record), then all areas are closed and area 1 is selected.
#pragma once

namespace patch {

// Never throws: an error while closing is shown in a message, unless `report` is false (after a
// failure whose files were put back, the writes of the areas no longer matter).
void closeAllAreas(bool report = true);

}  // namespace patch
