// The per-run reset: every file closed, the generator at the same point of the seed-1 sequence.
#include "brtl/math.h"
#include "file_test.h"
#include "fileio/table.h"
#include "platform/files.h"

using namespace brtl_test;
using brtl::fileio::find_record;

namespace {

class ResetTest : public FileTest {};

// The generator of the original platform, from its formula, as Rnd gives its values.
struct Lcg {
    uint32_t state = 1;
    double next() {
        state = state * 214013u + 2531011u;
        return (((state >> 16) & 0x7FFF) + 1.0) / 32769.0;
    }
};

} // namespace

TEST_F(ResetTest, ClosesEveryFileAndRestartsTheSeedOneSequence) {
    open("a.txt", BI_FILE_MODE_OUTPUT, 1);
    open("b.dat", BI_FILE_MODE_BINARY, 200);
    brtl::fileio::dir_restart_flag() = false;
    ZbiBuiltIn_Rnd(1);             // whatever Rnd drew before, the reset puts the generator back
    EXPECT_EQ(ZbiReset_Rtl(), 41); // the first number of the sequence
    EXPECT_EQ(find_record(1), nullptr);
    EXPECT_EQ(find_record(200), nullptr);
    EXPECT_EQ(brtl::platform::open_descriptor_count(), 0u);
    EXPECT_TRUE(brtl::fileio::dir_restart_flag());
    Lcg expected;
    expected.next();
    for (int round = 0; round < 2; ++round) {
        EXPECT_DOUBLE_EQ(ZbiBuiltIn_Rnd(1), expected.next());
        EXPECT_DOUBLE_EQ(ZbiBuiltIn_Rnd(1), expected.next());
        EXPECT_EQ(ZbiReset_Rtl(), 41);
        expected = Lcg();
        expected.next();
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(ResetTest, ATrapWhileClosingStillReseedsTheGenerator) {
    open(full_device_link(), BI_FILE_MODE_OUTPUT, 1);
    std::fputs("pending", ZrFileStream(ZbiGetZrFile(0)));
    ZbiBuiltIn_Rnd(1);
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiReset_Rtl(), TrapException);
    EXPECT_EQ(find_record(1), nullptr);
    Lcg expected;
    expected.next();
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Rnd(1), expected.next());
}
