#pragma once

namespace zorvel {
// The statements that make a new database: tables and the shipped settings row.
extern const char* const kSchemaSql;
}  // namespace zorvel
