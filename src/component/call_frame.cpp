#include "component/call_frame.hpp"

#include "talvane/component/dispatch_error.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::component::detail {

namespace {
bool IsWrite(MemberKind kind) { return kind == MemberKind::kPropertyPut || kind == MemberKind::kPropertyPutRef; }
}  // namespace

std::optional<std::size_t> CallFrame::Position(std::size_t param) const {
  if (IsWrite(member.kind)) {
    // The new value is always the caller's last argument; indexes come before it.
    if (param + 1 == member.params.size()) {
      return args.empty() ? std::nullopt : std::optional<std::size_t>(args.size() - 1);
    }
    return param + 1 < args.size() ? std::optional<std::size_t>(param) : std::nullopt;
  }
  return param < args.size() ? std::optional<std::size_t>(param) : std::nullopt;
}

const Variant& CallFrame::Arg(std::size_t param) const {
  if (const auto position = Position(param)) return args[*position];
  return member.params.at(param).defaultValue;
}

void CallFrame::WriteBack(std::size_t param, Variant value) const {
  if (const auto position = Position(param)) args[*position] = std::move(value);
}

void CallFrame::RaiseArgumentError(std::size_t param, const Error& cause) const {
  // Errors of the library's own members (an object converted through its default member) pass unchanged.
  if (cause.Source() != kDispatchSource) throw;
  std::string message = "Argument ";
  message += member.params.at(param).name;
  message += " of ";
  message += interface.Name();
  message += '.';
  message += member.name;
  message += ": ";
  message += cause.Message();
  throw Error(cause.Number(), kDispatchSource, message);
}

void CallFrame::RaiseWrongTarget() const {
  std::string message = "The object does not implement ";
  message += interface.Name();
  throw Error(kErrTypeMismatch, kDispatchSource, message);
}

}  // namespace talvane::component::detail
