#pragma once
// A db::Connection around a real connection that counts what the library asks of it, tracks the recordsets
// that are open right now, and can be told to fail a given call (fault injection). Tests use it to prove that
// a member runs no query, or that every recordset it opens is closed again, errors included.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "talvane/db/connection.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::test {

// The calls that are counted. kAny stands for every counted call at once.
enum class DbCall {
  kOpenSchema,
  kNewRecordset,
  kOpen,  // Recordset::Open
  kSetCursorLocation,
  kSetCursorType,
  kSetLockType,
  kFieldType,
  kFieldValue,
  kMoveNext,
  kClose,  // Recordset::Close
  kAny,
};

class CountingConnection : public db::Connection {
 public:
  static std::shared_ptr<CountingConnection> Create(std::shared_ptr<db::Connection> inner);
  ~CountingConnection() override;

  std::string ConnectionString() const override;
  int32_t State() const override;
  std::shared_ptr<db::Recordset> OpenSchema(int32_t kind, const std::vector<std::string>& restrictions) override;
  std::shared_ptr<db::Recordset> NewRecordset() override;
  // None unless ForwardSchemaVersion(true): by default the library keeps nothing learnt from the schema
  // beyond one call, so that every call makes all of its requests.
  std::optional<std::string> SchemaVersion() noexcept override;
  void ForwardSchemaVersion(bool forward);

  const std::shared_ptr<db::Connection>& Inner() const;

  // How often each kind of call was made since creation or the last ResetCounts().
  int32_t Calls(DbCall kind) const;
  // Queries (the SQL passed to Recordset::Open) and schema requests ("schema <kind>") in the order made.
  const std::vector<std::string>& Requests() const;
  void ResetCounts();

  // Recordsets made through this connection that are open at this moment.
  int32_t OpenRecordsets() const;
  // Recordsets that were opened at all (queries and schema requests).
  int32_t OpenedRecordsets() const;
  // Recordsets released by their last owner while still open: opened but never closed.
  int32_t AbandonedRecordsets() const;

  // The nth call of `kind` from now on (1 = the next one) raises `error` instead of running. Each fault
  // fires once; several may be pending.
  void FailCall(DbCall kind, int32_t nth, const talvane::Error& error);

  struct Tracker;

 private:
  explicit CountingConnection(std::shared_ptr<db::Connection> inner);
  std::shared_ptr<Tracker> tracker_;
  bool forwardSchemaVersion_ = false;
};

}  // namespace talvane::test
