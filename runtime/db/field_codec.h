// Field values in record bytes: reading a field into an rt::Value and writing one back.
//
// C blank-padded bytes; N/F right-aligned ASCII with the field's decimals (rounded halves away
// from zero; a number too wide for the field is rt::Error DataWidth "Data width error", never a
// wrong value); D "YYYYMMDD" or blanks; L 'T'/'F' (also reads 'Y'/'N'/'?'); I 4-byte integer;
// Y 8-byte currency in ten-thousandths; B 8-byte double; T Julian day + milliseconds (read as a
// date). Memo fields hold a block number: 10 ASCII digits, or a 4-byte integer in 4-byte fields.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/core/value.h"
#include "runtime/db/dbf_header.h"

namespace rt::db {

// The value of a non-memo field. `file` names the table in errors.
Value readFieldValue(const FieldDescriptor& f, const uint8_t* record);

// Writes a non-memo field; rt::Error Argument "Data type error" on a value of the wrong type,
// DataWidth for a number that does not fit. The record is unchanged when it throws.
void writeFieldValue(const FieldDescriptor& f, uint8_t* record, const Value& v, const std::string& file);

// The text an N field of width len with dec decimals stores for v; false when it does not fit.
bool formatNumberField(double v, uint32_t len, int dec, char* out);

uint32_t readMemoBlock(const FieldDescriptor& f, const uint8_t* record);
void writeMemoBlock(const FieldDescriptor& f, uint8_t* record, uint32_t block);

// The type letter TYPE() and DBSTRUCT show for the field (memo-like fields show "M").
char valueTypeOf(const FieldDescriptor& f);

// Blank content of a field in a fresh record.
void blankField(const FieldDescriptor& f, uint8_t* record);

}  // namespace rt::db
