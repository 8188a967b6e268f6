#include "talvane/scan/scan_result.hpp"

namespace talvane {

const char* ScanStatusName(ScanStatus status) {
  switch (status) {
    case ScanStatus::kClean: return "clean";
    case ScanStatus::kExceptions: return "exceptions";
    case ScanStatus::kError: return "error";
  }
  return "error";
}

}  // namespace talvane
