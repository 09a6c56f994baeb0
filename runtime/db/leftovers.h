// rt::db::removeLeftovers: the temporary files of a PACK, ZAP or REINDEX killed before its end.
//
// They are named "<live file>.<pid>.tmp" beside the file they would have replaced (the table,
// its memo file, its structural index, the PACK journal) and may be as large as it. Whoever next
// opens the table, holding its open lock (so no PACK, ZAP or REINDEX runs now), removes those of
// processes that no longer run; a live process's files are left alone.
#pragma once

#include <string>

namespace rt::db {

void removeLeftovers(const std::string& tablePath);

}  // namespace rt::db
