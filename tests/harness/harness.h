// The test harness shared by every suite: host hooks that record each trap (number, family,
// subject) and either return or throw, host texts and answers to the three host questions, a
// scratch directory with a scratch profile, and helpers for runtime strings and Variants.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "brtl/brtl.h"
#include "harness/portable.h"

namespace brtl_test {

enum class Family { Trap, FileTrap, NumericTrap, Fatal };

struct Trap {
    int32_t number;
    Family family;
    std::string subject; // the file trap's subject text; empty for the other families

    bool operator==(const Trap &other) const = default;
};

std::ostream &operator<<(std::ostream &os, const Trap &trap);
std::ostream &operator<<(std::ostream &os, Family family);

// Thrown by the hooks in throwing mode: the host's way of leaving a builtin at a trap.
struct TrapException {
    Trap trap;
};

enum class HookMode { Return, Throw };

// The state behind the hooks the harness installs.
struct HostState {
    HookMode mode = HookMode::Return;
    std::vector<Trap> traps;
    std::map<int32_t, std::string> texts; // text hook answers; an id not here gives null
    bool strict_limits = false;
    bool skip_first_value = false;
    bool text_compare = false;
    int fatal_calls = 0;
};

HostState &host();
// Installs the eight recording hooks.
void install_hooks();

// The fixture of every suite: recording hooks that return, the "C" code page, allocation
// failure injection off, an empty trap record.
class RuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const std::vector<Trap> &traps() const { return host().traps; }
    void set_mode(HookMode mode) { host().mode = mode; }
    void clear_traps() { host().traps.clear(); }
};

// The scratch directory of this test process (the working directory during tests) and its
// profile file, which BRTL_PROFILE names.
const std::filesystem::path &scratch_dir();
const std::filesystem::path &scratch_profile();

// ---- Runtime strings ------------------------------------------------------------------------

// A fresh temporary (ZrMalloc) holding text; the empty text gives the empty string with the
// temporary flag set.
BiString temp(const std::string &text);
// The text of a BiString.
std::string text_of(BiString s);

// A borrowed string (flag clear) whose storage the test owns; after a call the test checks that
// it is intact.
class Borrowed {
  public:
    explicit Borrowed(const std::string &text);
    BiString get() const {
        return {const_cast<char *>(storage_.c_str()), static_cast<uint32_t>(storage_.size())};
    }
    bool intact() const { return storage_ == original_; }

  private:
    std::string storage_;
    std::string original_;
};

// Frees a result by the freeing rule and returns its text.
std::string take(BiString s);

// ---- Variants and wide text -----------------------------------------------------------------

// A VT_BSTR Variant of a Latin-1/ASCII text (one unit per byte).
VARIANT bstr_variant(const std::string &text);
// A VT_BSTR Variant of UTF-16 units.
VARIANT bstr_variant(const std::u16string &units);
// The units of a BSTR as a std::u16string; the ASCII text of a BSTR as a std::string.
std::u16string units_of(BSTR b);
std::string ascii_of(BSTR b);

VARIANT i2(int16_t v);
VARIANT i4(int32_t v);
VARIANT r4(float v);
VARIANT r8(double v);
VARIANT cy(int64_t units);
VARIANT date(double serial);
VARIANT boolean(bool v);
VARIANT null_variant();
VARIANT empty_variant();
VARIANT error_variant(int32_t code);

// A host object behind VT_DISPATCH or VT_UNKNOWN that counts its references; each Variant made
// of it holds one, which the call it is passed to must release.
struct HostObject {
    BrtlUnknown base;
    int references = 0;

    HostObject();
    HostObject(const HostObject &) = delete;
    HostObject &operator=(const HostObject &) = delete;
    VARIANT variant(VARTYPE vt = VT_DISPATCH);
};

// ---- Memory -------------------------------------------------------------------------------

// The balance of heap blocks since construction: a test that frees all it made ends at 0.
class BlockBalance {
  public:
    BlockBalance();
    long delta() const;

  private:
    long start_;
};

// Makes allocations fail: after `successes` more succeed, the next fails (every later one too
// when persistent). Switched off again by the fixture.
void fail_allocations_after(long successes, bool persistent = false);

// Settings the library caches once per process are tested with BRTL_IN_FRESH_PROCESS
// (harness/fresh_process.h), which runs a block in a newly started copy of the test program.

} // namespace brtl_test
