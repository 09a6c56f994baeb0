// The settings of one migration group of a "[dbase]" section, as its key lines give them.
#pragma once

#include <string>
#include <vector>

#include "patch/script_block.h"

namespace patch {

struct SourceTable {
  std::string file, alias;
  int line = 0;
};

struct DestinationTable {
  std::string file, alias;
  bool perCompany = false;  // the table lies in each company's directory
  int line = 0;
};

struct IndexEntry {
  std::string alias, file, key;
  int line = 0;
};

struct FinalCopy {
  std::string source, destination;  // blanks kept as written
  ScriptBlock condition;
  int line = 0;
};

struct GroupSettings {
  std::vector<SourceTable> sources;           // baza_src
  std::vector<DestinationTable> destinations;  // baza_dst
  std::vector<IndexEntry> indexes;            // indexy
  ScriptBlock entryCondition;                 // war_we; empty block value: yields true
  std::vector<ScriptBlock> tableBlocks;       // base_blok
  std::vector<ScriptBlock> loopStart;         // rek_pocz
  std::vector<ScriptBlock> loopWhile;         // rek_przetw
  std::vector<ScriptBlock> recordCondition;   // rek_war
  std::vector<ScriptBlock> recordBlocks;      // rek_blok
  std::vector<ScriptBlock> loopMove;          // rek_mov
  std::vector<ScriptBlock> loopEnd;           // rek_kon
  std::vector<FinalCopy> finalCopies;         // kon_copy
  int terminatorLine = 0;                     // the "-" line that runs the group
};

}  // namespace patch
