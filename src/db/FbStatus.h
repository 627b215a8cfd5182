#pragma once
// Internal to the database layer: the client library's status vector and error conversion.
#include "db/DbError.h"

#include <ibase.h>

namespace db::detail {

static_assert(sizeof(FB_API_HANDLE) == sizeof(unsigned int), "handles are stored as unsigned int");

// Builds a DbError from a failed status vector: every message line of the server.
DbError makeError(const ISC_STATUS* status);

// Throws the status vector's error when the call failed.
inline void check(const ISC_STATUS* status) {
    if (status[0] == 1 && status[1] != 0) throw makeError(status);
}

// Read-committed, record-version, no-wait, read-write.
const char* transactionParameters(short* length);

}  // namespace db::detail
