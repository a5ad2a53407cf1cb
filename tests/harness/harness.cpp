#include "harness/harness.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/memory.h"

namespace brtl_test {

namespace {

HostState g_host;

void record(int32_t number, Family family, std::string subject = {}) {
    Trap trap{number, family, std::move(subject)};
    g_host.traps.push_back(trap);
    if (g_host.mode == HookMode::Throw) throw TrapException{trap};
}

const char *text_hook(int32_t id) {
    auto it = g_host.texts.find(id);
    return it == g_host.texts.end() ? nullptr : it->second.c_str();
}
int16_t trap_hook(int32_t trap) {
    record(trap, Family::Trap);
    return 0;
}
int16_t file_trap_hook(int32_t trap, BiString subject) {
    std::string text = text_of(subject);
    take(subject); // the subject belongs to the hook
    record(trap, Family::FileTrap, text);
    return 0;
}
int16_t numeric_trap_hook(int32_t trap) {
    record(trap, Family::NumericTrap);
    return 0;
}
void fatal_hook(int32_t code, int32_t, const char *) {
    ++g_host.fatal_calls;
    record(code, Family::Fatal);
}
uint8_t strict_limits_hook() {
    return g_host.strict_limits;
}
uint8_t skip_first_value_hook() {
    return g_host.skip_first_value;
}
uint8_t text_compare_hook() {
    return g_host.text_compare;
}

std::filesystem::path g_scratch;
std::filesystem::path g_profile;

// The tests that need a fresh process start a copy of the test program (GoogleTest's
// "threadsafe" death tests): under an emulator the copy is started through it as well.
void start_copies_under_the_emulator() {
    std::vector<std::string> command = test_emulator();
    if (command.empty()) return;
    const std::vector<std::string> own = ::testing::internal::GetArgvs();
    command.insert(command.end(), own.begin(), own.end());
    ::testing::internal::SetInjectableArgvs(command);
}

// Creates the scratch directory and profile before any test runs and removes them after.
class ScratchEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        start_copies_under_the_emulator();
        g_scratch = brtl_test::make_scratch_directory("brtl-test-");
        g_profile =
            g_scratch / "profile.ini"; // a file named win.ini is the system profile on Windows
        std::ofstream(g_profile).close();
        setenv("BRTL_PROFILE", g_profile.string().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (g_scratch / "config").string().c_str(), 1);
        setenv("HOME", g_scratch.string().c_str(), 1);
        std::filesystem::current_path(g_scratch);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
        std::filesystem::remove_all(g_scratch, ignored);
    }
};

const auto *const g_environment = ::testing::AddGlobalTestEnvironment(new ScratchEnvironment);
// Every suite checks its block balances: the library counts live blocks from the start.
const bool g_counting_blocks = (brtl::platform::count_live_blocks(), true);

} // namespace

std::ostream &operator<<(std::ostream &os, Family family) {
    static const char *const names[] = {"trap", "file trap", "numeric trap", "fatal"};
    return os << names[static_cast<int>(family)];
}

std::ostream &operator<<(std::ostream &os, const Trap &trap) {
    os << "{" << trap.number << ", " << trap.family;
    if (!trap.subject.empty()) os << ", \"" << trap.subject << "\"";
    return os << "}";
}

HostState &host() {
    return g_host;
}

void install_hooks() {
    ZbiInitBasicRTL(text_hook, trap_hook, file_trap_hook, numeric_trap_hook, fatal_hook,
                    strict_limits_hook, skip_first_value_hook, text_compare_hook);
}

void RuntimeTest::SetUp() {
    g_host = HostState{};
    install_hooks();
    brtl_setlocale("C");
    brtl::platform::fail_allocations_after(-1);
}

void RuntimeTest::TearDown() {
    brtl::platform::fail_allocations_after(-1);
    ZbiTermBasicRTL();
    brtl_setlocale("C");
    g_host = HostState{};
}

const std::filesystem::path &scratch_dir() {
    return g_scratch;
}
const std::filesystem::path &scratch_profile() {
    return g_profile;
}

BiString temp(const std::string &text) {
    if (text.empty()) return BiString{const_cast<char *>(""), BI_STRING_TEMP_FLAG};
    auto *data = static_cast<char *>(ZrMalloc(text.size() + 1));
    std::memcpy(data, text.c_str(), text.size() + 1);
    return BiString{data, static_cast<uint32_t>(text.size()) | BI_STRING_TEMP_FLAG};
}

std::string text_of(BiString s) {
    uint32_t n = BiStringLength(s);
    return n == 0 ? std::string() : std::string(s.data, n);
}

Borrowed::Borrowed(const std::string &text) : storage_(text), original_(text) {}

std::string take(BiString s) {
    std::string text = text_of(s);
    if (BiStringIsTemporary(s) && BiStringLength(s) != 0) ZrFree(s.data);
    return text;
}

VARIANT bstr_variant(const std::string &text) {
    std::u16string units;
    for (unsigned char c : text)
        units.push_back(c);
    return bstr_variant(units);
}

VARIANT bstr_variant(const std::u16string &units) {
    VARIANT v{};
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR *>(units.data()),
                                  static_cast<uint32_t>(units.size()));
    return v;
}

std::u16string units_of(BSTR b) {
    return std::u16string(reinterpret_cast<const char16_t *>(b), SysStringLen(b));
}

std::string ascii_of(BSTR b) {
    std::string text;
    for (char16_t u : units_of(b))
        text.push_back(static_cast<char>(u));
    return text;
}

namespace {
VARIANT typed(VARTYPE vt) {
    VARIANT v{};
    v.vt = vt;
    return v;
}
} // namespace

VARIANT i2(int16_t value) {
    VARIANT v = typed(VT_I2);
    v.iVal = value;
    return v;
}
VARIANT i4(int32_t value) {
    VARIANT v = typed(VT_I4);
    v.lVal = value;
    return v;
}
VARIANT r4(float value) {
    VARIANT v = typed(VT_R4);
    v.fltVal = value;
    return v;
}
VARIANT r8(double value) {
    VARIANT v = typed(VT_R8);
    v.dblVal = value;
    return v;
}
VARIANT cy(int64_t units) {
    VARIANT v = typed(VT_CY);
    v.cyVal = units;
    return v;
}
VARIANT date(double serial) {
    VARIANT v = typed(VT_DATE);
    v.date = serial;
    return v;
}
VARIANT boolean(bool value) {
    VARIANT v = typed(VT_BOOL);
    v.boolVal = value ? -1 : 0;
    return v;
}
VARIANT null_variant() {
    return typed(VT_NULL);
}
VARIANT empty_variant() {
    return typed(VT_EMPTY);
}
VARIANT error_variant(int32_t code) {
    VARIANT v = typed(VT_ERROR);
    v.scode = code;
    return v;
}

namespace {
HRESULT BRTL_COM_CALL query_interface(void *, const void *, void **out) {
    *out = nullptr;
    return E_FAIL;
}
uint32_t BRTL_COM_CALL add_ref(void *self) {
    return static_cast<uint32_t>(++static_cast<HostObject *>(self)->references);
}
uint32_t BRTL_COM_CALL release_ref(void *self) {
    return static_cast<uint32_t>(--static_cast<HostObject *>(self)->references);
}
const BrtlUnknownVtbl kCountedVtbl = {query_interface, add_ref, release_ref};
} // namespace

HostObject::HostObject() : base{&kCountedVtbl} {}

VARIANT HostObject::variant(VARTYPE vt) {
    VARIANT v{};
    v.vt = vt;
    v.punkVal = &base;
    ++references;
    return v;
}

BlockBalance::BlockBalance() : start_(brtl::platform::live_blocks()) {}
long BlockBalance::delta() const {
    return brtl::platform::live_blocks() - start_;
}

void fail_allocations_after(long successes, bool persistent) {
    brtl::platform::fail_allocations_after(successes, persistent);
}

} // namespace brtl_test
