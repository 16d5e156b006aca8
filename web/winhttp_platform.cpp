#include "web/winhttp_platform.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "text/codepage.h"
#include "web/convert_image.h"
#include "web/fetch_image.h"
#include "win/late_binding.h"

namespace web {

namespace {

win::LateBound<decltype(&::CoInitialize)> co_initialize("ole32.dll", "CoInitialize");
win::LateBound<decltype(&::CoUninitialize)> co_uninitialize("ole32.dll", "CoUninitialize");
win::LateBound<decltype(&::CLSIDFromProgID)> clsid_from_prog_id("ole32.dll", "CLSIDFromProgID");
win::LateBound<decltype(&::CoCreateInstance)> co_create_instance("ole32.dll", "CoCreateInstance");
win::LateBound<decltype(&::SysAllocStringLen)> sys_alloc_string_len("oleaut32.dll", "SysAllocStringLen");
win::LateBound<decltype(&::SysStringLen)> sys_string_len("oleaut32.dll", "SysStringLen");
win::LateBound<decltype(&::VariantInit)> variant_init("oleaut32.dll", "VariantInit");
win::LateBound<decltype(&::VariantClear)> variant_clear("oleaut32.dll", "VariantClear");
win::LateBound<decltype(&::SafeArrayCreateVector)> safe_array_create_vector("oleaut32.dll", "SafeArrayCreateVector");
win::LateBound<decltype(&::SafeArrayAccessData)> safe_array_access_data("oleaut32.dll", "SafeArrayAccessData");
win::LateBound<decltype(&::SafeArrayUnaccessData)> safe_array_unaccess_data("oleaut32.dll", "SafeArrayUnaccessData");
win::LateBound<decltype(&::SafeArrayGetLBound)> safe_array_get_lbound("oleaut32.dll", "SafeArrayGetLBound");
win::LateBound<decltype(&::SafeArrayGetUBound)> safe_array_get_ubound("oleaut32.dll", "SafeArrayGetUBound");

// An automation argument or result that frees what it holds.
class Variant {
 public:
  Variant() { variant_init(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept : value_(other.value_) { variant_init(&other.value_); }
  ~Variant() { variant_clear(&value_); }

  static Variant Text(const std::string& gbk) {
    const std::u16string wide = text::GbkToUtf16(gbk);
    Variant v;
    v.value_.vt = VT_BSTR;
    v.value_.bstrVal = sys_alloc_string_len(reinterpret_cast<const OLECHAR*>(wide.data()), static_cast<UINT>(wide.size()));
    return v;
  }
  static Variant Integer(int number) {
    Variant v;
    v.value_.vt = VT_I4;
    v.value_.lVal = number;
    return v;
  }
  static Variant Boolean(bool flag) {
    Variant v;
    v.value_.vt = VT_BOOL;
    v.value_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
  }
  static Variant ByteArray(const Bytes& bytes) {
    Variant v;
    SAFEARRAY* array = safe_array_create_vector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (array == nullptr) return v;
    void* data = nullptr;
    if (SUCCEEDED(safe_array_access_data(array, &data))) {
      std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(data));
      safe_array_unaccess_data(array);
    }
    v.value_.vt = VT_ARRAY | VT_UI1;
    v.value_.parray = array;
    return v;
  }

  VARIANT& get() { return value_; }

  Bytes ToBytes() const {
    if (value_.vt != (VT_ARRAY | VT_UI1) || value_.parray == nullptr) return {};
    LONG lower = 0, upper = -1;
    safe_array_get_lbound(value_.parray, 1, &lower);
    safe_array_get_ubound(value_.parray, 1, &upper);
    void* data = nullptr;
    if (upper < lower || FAILED(safe_array_access_data(value_.parray, &data))) return {};
    const auto* first = static_cast<const uint8_t*>(data);
    Bytes bytes(first, first + (upper - lower + 1));
    safe_array_unaccess_data(value_.parray);
    return bytes;
  }

  std::string ToText() const {
    if (value_.vt != VT_BSTR || value_.bstrVal == nullptr) return {};
    const auto* units = reinterpret_cast<const char16_t*>(value_.bstrVal);
    return text::Utf16ToGbk(std::u16string_view(units, sys_string_len(value_.bstrVal)));
  }

 private:
  VARIANT value_;
};

// The request object, its members called by name. A failing call is not
// reported: the web client goes on and reads empty values afterwards.
class AutomationRequest : public RequestObject {
 public:
  explicit AutomationRequest(IDispatch* object) : object_(object) {}
  AutomationRequest(const AutomationRequest&) = delete;
  AutomationRequest& operator=(const AutomationRequest&) = delete;
  ~AutomationRequest() override { object_->Release(); }

  void SetTimeouts(int resolve, int connect, int send, int receive) override {
    timeouts_ = {resolve, connect, send, receive};
    ApplyTimeouts();
  }
  void SetProxy(int setting, const std::string& server) override {
    Call(L"SetProxy", Args(Variant::Integer(setting), Variant::Text(server)));
  }
  void SetProxyCredentials(const std::string& user, const std::string& password, int flags) override {
    Call(L"SetProxyCredentials", Args(Variant::Text(user), Variant::Text(password), Variant::Integer(flags)));
  }
  void Open(const std::string& method, const std::string& url, bool async) override {
    Call(L"Open", Args(Variant::Text(method), Variant::Text(url), Variant::Boolean(async)));
    // Wine's object puts its default time-outs back when it is opened; the
    // caller's are set again so that they hold on every platform.
    if (timeouts_) ApplyTimeouts();
  }
  void SetOption(int index, int value) override {
    // Wine answers E_NOTIMPL for some indices; like every failure, ignored.
    Call(L"Option", Args(Variant::Integer(index), Variant::Integer(value)), DISPATCH_PROPERTYPUT);
  }
  void SetRequestHeader(const std::string& name, const std::string& value) override {
    Call(L"SetRequestHeader", Args(Variant::Text(name), Variant::Text(value)));
  }
  void SendText(const std::string& body) override { Send(Variant::Text(body)); }
  void SendBytes(const Bytes& body) override { Send(Variant::ByteArray(body)); }
  // After a failed send there is no answer to read; Wine's object even
  // faults when its body is read after a time-out.
  Bytes ResponseBody() override {
    if (!sent_) return {};
    return Call(L"ResponseBody", {}, DISPATCH_PROPERTYGET).ToBytes();
  }
  std::string GetAllResponseHeaders() override {
    if (!sent_) return {};
    // The object matches member names without regard to case.
    return Call(L"GetallResponseHeaders", {}).ToText();
  }

 private:
  template <typename... V>
  static std::vector<Variant> Args(V&&... values) {
    std::vector<Variant> args;
    (args.push_back(std::move(values)), ...);
    return args;
  }

  // Calls the member `name` with `args` in their natural order.
  Variant Call(const wchar_t* name, std::vector<Variant> args, WORD kind = DISPATCH_METHOD,
               HRESULT* status = nullptr) {
    Variant result;
    DISPID member = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const IID no_interface{};
    HRESULT outcome = object_->GetIDsOfNames(no_interface, names, 1, LOCALE_USER_DEFAULT, &member);
    if (status != nullptr) *status = outcome;
    if (FAILED(outcome)) return result;
    // Automation takes the arguments last first.
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->get());
    DISPID property_put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (kind == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &property_put;
      params.cNamedArgs = 1;
    }
    outcome = object_->Invoke(member, no_interface, LOCALE_USER_DEFAULT, kind, &params,
                              kind == DISPATCH_PROPERTYPUT ? nullptr : &result.get(), nullptr, nullptr);
    if (status != nullptr) *status = outcome;
    return result;
  }

  void Send(Variant body) {
    std::vector<Variant> args;
    args.push_back(std::move(body));
    HRESULT status = E_FAIL;
    Call(L"Send", std::move(args), DISPATCH_METHOD, &status);
    sent_ = SUCCEEDED(status);
  }

  void ApplyTimeouts() {
    const auto [resolve, connect, send, receive] = *timeouts_;
    Call(L"SetTimeouts", Args(Variant::Integer(resolve), Variant::Integer(connect), Variant::Integer(send),
                              Variant::Integer(receive)));
  }

  IDispatch* object_;
  std::optional<std::array<int, 4>> timeouts_;
  bool sent_ = false;
};

}  // namespace

bool WinHttpPlatform::InitializeCom() { return SUCCEEDED(co_initialize(nullptr)); }

void WinHttpPlatform::UninitializeCom() { co_uninitialize(); }

std::shared_ptr<RequestObject> WinHttpPlatform::CreateRequestObject() {
  CLSID class_id{};
  if (FAILED(clsid_from_prog_id(L"WinHttp.WinHttpRequest.5.1", &class_id))) return nullptr;
  IDispatch* object = nullptr;
  if (FAILED(co_create_instance(class_id, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDispatch),
                                reinterpret_cast<void**>(&object))) ||
      object == nullptr) {
    return nullptr;
  }
  return std::make_shared<AutomationRequest>(object);
}

Bytes FetchServiceImage(const std::string& url) {
  WinHttpPlatform platform;
  FetchImageParams params;
  params.url = url;
  return FetchImage(platform, ConvertImage, params);
}

}  // namespace web
