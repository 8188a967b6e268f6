#pragma once
// A stretch of work in which the schema is taken not to change: while the outermost scope on a thread lives,
// each connection's kept schema answers are checked against its schema version once, not at every use.
// The library opens one around each member a host calls that asks about the schema; a host that asks many
// questions itself (a checker, an editor) may open one too.
#include <cstdint>

namespace talvane::db {

/// A stretch of work in which the schema is taken not to change (see the top of this file).
class SchemaScope {
 public:
  SchemaScope() noexcept;
  ~SchemaScope();
  SchemaScope(const SchemaScope&) = delete;
  SchemaScope& operator=(const SchemaScope&) = delete;

  /// True while a scope lives on this thread.
  static bool Active() noexcept;
  /// Moves on each time an outermost scope begins on this thread.
  static uint64_t Epoch() noexcept;
};

}  // namespace talvane::db
