#pragma once
// The lock count that class factories hold on the server (LockServer).
#include <cstddef>

namespace talvane::component::detail {

void AddServerLock() noexcept;
void ReleaseServerLock() noexcept;
std::size_t ServerLockCount() noexcept;

}  // namespace talvane::component::detail
