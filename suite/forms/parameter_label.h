// `_LEN(label, n, @offsets)`: a label of a parameter window and the place of its value field.
//
// The label is returned in display form, to be written at the window's label column; element n
// of the offsets array (grown when shorter) becomes the offset of the option's value field from
// that column: the label's width and one blank.
#pragma once

namespace suite {

void registerParameterLabelFunction();

}  // namespace suite
