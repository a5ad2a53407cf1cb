// Environ by name, position and Variant against the test's own environment, and Command before
// and after the host writes its buffer.
#include <cstdlib>
#include <cstring>
#include <string>

#include "harness/harness.h"

extern char **environ;

using namespace brtl_test;

namespace {

class EnvironTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        setenv("BRTL_ENVIRON_PROBE", "probe value", 1);
        unsetenv("BRTL_ENVIRON_UNSET");
    }
    std::vector<Trap> only(int32_t trap) const { return {Trap{trap, Family::Trap, ""}}; }
};

size_t entry_count() {
    size_t n = 0;
    while (environ[n] != nullptr)
        ++n;
    return n;
}

} // namespace

TEST_F(EnvironTest, ByName) {
    EXPECT_EQ(take(ZbiBuiltIn_EnvironStr(temp(" BRTL_ENVIRON_PROBE  "))), "probe value");
    Borrowed borrowed("BRTL_ENVIRON_PROBE");
    EXPECT_EQ(take(ZbiBuiltIn_EnvironStr(borrowed.get())), "probe value");
    EXPECT_TRUE(borrowed.intact());
    EXPECT_EQ(take(ZbiBuiltIn_EnvironStr(temp("BRTL_ENVIRON_UNSET"))), "");
    ASSERT_NE(std::getenv("PATH"), nullptr);
    EXPECT_EQ(take(ZbiBuiltIn_EnvironStr(temp(" PATH "))), std::getenv("PATH"));
    EXPECT_TRUE(traps().empty());
    for (const char *blank : {"", "   "}) {
        clear_traps();
        EXPECT_EQ(take(ZbiBuiltIn_EnvironStr(temp(blank))), "");
        EXPECT_EQ(traps(), only(5)) << "«" << blank << "»";
        set_mode(HookMode::Throw);
        BlockBalance balance;
        EXPECT_THROW(ZbiBuiltIn_EnvironStr(temp(blank)), TrapException);
        set_mode(HookMode::Return);
        EXPECT_EQ(balance.delta(), 0);
    }
}

TEST_F(EnvironTest, ByPositionCountsTheEnvironmentAsListed) {
    size_t n = entry_count();
    ASSERT_GE(n, 2u);
    for (int32_t i = 1; i <= static_cast<int32_t>(std::min<size_t>(n, 255)); ++i)
        EXPECT_EQ(take(ZbiBuiltIn_EnvironIdx(i)), environ[i - 1]) << i;
    if (n < 255) {
        EXPECT_EQ(take(ZbiBuiltIn_EnvironIdx(static_cast<int32_t>(n) + 1)), "");
    }
    EXPECT_TRUE(traps().empty());
    for (int32_t bad : {0, -1, 256, INT32_MIN}) {
        clear_traps();
        EXPECT_EQ(take(ZbiBuiltIn_EnvironIdx(bad)), "");
        EXPECT_EQ(traps(), only(5)) << bad;
    }
}

TEST_F(EnvironTest, ByVariant) {
    ASSERT_GE(entry_count(), 3u);
    EXPECT_EQ(take(ZbiBuiltIn_EnvironVar(bstr_variant(" BRTL_ENVIRON_PROBE"))), "probe value");
    EXPECT_EQ(take(ZbiBuiltIn_EnvironVar(i2(1))), environ[0]);
    EXPECT_EQ(take(ZbiBuiltIn_EnvironVar(r8(2.6))), environ[2]); // rounds to 3
    EXPECT_EQ(take(ZbiBuiltIn_EnvironVar(r8(2.5))), environ[1]); // to even: 2
    EXPECT_EQ(take(ZbiBuiltIn_EnvironVar(i4(2))), environ[1]);
    EXPECT_EQ(take(ZbiBuiltIn_EnvironVar(cy(10000))), environ[0]);
    EXPECT_EQ(take(ZbiBuiltIn_EnvironVar(r4(1.0f))), environ[0]);
    EXPECT_EQ(take(ZbiBuiltIn_EnvironVar(date(1.0))), environ[0]);
    EXPECT_TRUE(traps().empty());
    struct {
        VARIANT v;
        int32_t trap;
    } rows[] = {
        {empty_variant(), 5}, {null_variant(), 94}, {error_variant(7), 13}, {boolean(true), 5},
        {i2(0), 5},           {i2(256), 5},         {r8(-3.0), 5},          {bstr_variant("  "), 5},
        {r8(1e10), 6},        {i4(70000), 6},
    };
    for (auto &row : rows) {
        clear_traps();
        VARIANT copy{};
        VariantCopy(&copy, &row.v);
        EXPECT_EQ(take(ZbiBuiltIn_EnvironVar(row.v)), "");
        EXPECT_EQ(traps(), only(row.trap));
        set_mode(HookMode::Throw);
        BlockBalance balance;
        EXPECT_THROW(ZbiBuiltIn_EnvironVar(copy), TrapException);
        set_mode(HookMode::Return);
        EXPECT_EQ(balance.delta(), copy.vt == VT_BSTR ? -1 : 0); // the Variant's string is freed
    }
}

TEST_F(EnvironTest, CommandReadsTheHostsBuffer) {
    std::memset(BiBuiltInVar_Command_, 0, sizeof BiBuiltInVar_Command_);
    EXPECT_EQ(take(ZbiBuiltIn_Command_()), "");
    std::strcpy(BiBuiltInVar_Command_, "/x \"a b\"");
    EXPECT_EQ(take(ZbiBuiltIn_Command_()), "/x \"a b\"");
    // A buffer without its NUL is read to its end and no further.
    std::memset(BiBuiltInVar_Command_, 'z', sizeof BiBuiltInVar_Command_);
    EXPECT_EQ(take(ZbiBuiltIn_Command_()), std::string(256, 'z'));
    std::memset(BiBuiltInVar_Command_, 0, sizeof BiBuiltInVar_Command_);
    EXPECT_TRUE(traps().empty());
}
