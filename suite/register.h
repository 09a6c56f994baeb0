// Registers every stand-in of the suite's libraries for calls by name.
#pragma once

namespace suite {

void registerSuiteFunctions();

}  // namespace suite
