#include "talvane/db/schema_scope.hpp"

namespace talvane::db {

namespace {

thread_local int32_t depth = 0;
thread_local uint64_t epoch = 0;

}  // namespace

SchemaScope::SchemaScope() noexcept {
  if (depth++ == 0) ++epoch;
}

SchemaScope::~SchemaScope() { --depth; }

bool SchemaScope::Active() noexcept { return depth > 0; }

uint64_t SchemaScope::Epoch() noexcept { return epoch; }

}  // namespace talvane::db
