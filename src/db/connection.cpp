#include "talvane/db/connection.hpp"

#include "talvane/db/schema_cache.hpp"

namespace talvane::db {

Connection::Connection() = default;
Connection::~Connection() = default;

SchemaCache& Connection::Schema() {
  if (!schema_) schema_ = std::make_unique<SchemaCache>(*this);
  return *schema_;
}

}  // namespace talvane::db
