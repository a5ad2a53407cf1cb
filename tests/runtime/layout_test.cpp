// The records that translated code lays out for the library and the library for it: in a 32-bit
// build their sizes and offsets are fixed numbers of bytes, checked when this file compiles; in
// every build the same records keep their field order, with a pointer wherever a 32-bit build has
// a 32-bit address, which the tests below check at the build's own word size.
#include <cstddef>
#include <cstdint>

#include "harness/harness.h"

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(void *) == 4, "a 32-bit build has 32-bit addresses");

// The Variant: the type word, three reserved words, the 8-byte value at offset 8.
static_assert(sizeof(VARIANT) == 16);
static_assert(offsetof(VARIANT, vt) == 0);
static_assert(offsetof(VARIANT, wReserved1) == 2);
static_assert(offsetof(VARIANT, wReserved2) == 4);
static_assert(offsetof(VARIANT, wReserved3) == 6);
static_assert(offsetof(VARIANT, lVal) == 8 && offsetof(VARIANT, dblVal) == 8);
static_assert(offsetof(VARIANT, cyVal) == 8 && offsetof(VARIANT, bstrVal) == 8);
static_assert(offsetof(VARIANT, byref) == 8 && offsetof(VARIANT, pdispVal) == 8);

// The runtime string: the data pointer, then the length word with the temporary flag; passed by
// value as those two words.
static_assert(sizeof(BiString) == 8);
static_assert(offsetof(BiString, data) == 0);
static_assert(offsetof(BiString, length_word) == 4);

// The array descriptor: the element size at 4, the storage size at 8, the storage at 16.
static_assert(sizeof(BiArrayDesc) == 20);
static_assert(offsetof(BiArrayDesc, element_size) == 4);
static_assert(offsetof(BiArrayDesc, byte_size) == 8);
static_assert(offsetof(BiArrayDesc, data) == 16);

// The field list of Put and Get: the count, then descriptors of three 32-bit words (kind,
// address, size).
static_assert(sizeof(BiFileField) == 12);
static_assert(offsetof(BiFileField, kind) == 0);
static_assert(offsetof(BiFileField, address) == 4);
static_assert(offsetof(BiFileField, size) == 8);
static_assert(offsetof(BiFileFieldList, count) == 0);
static_assert(offsetof(BiFileFieldList, fields) == 4);

// The item list of Write #: one 32-bit pointer per type code and per value.
static_assert(sizeof(void *const *) == 4 && sizeof(int16_t *) == 4);

// The Format engine's character stack: the character, then the next cell.
static_assert(sizeof(BiFormatStackCell) == 8);
static_assert(offsetof(BiFormatStackCell, next) == 4);

// The 128-bit integer (four 32-bit words), the broken-down time (seven 32-bit fields), one
// compiled key event (two 32-bit words), the command-line buffer.
static_assert(sizeof(BiInt128) == 16);
static_assert(sizeof(BiBrokenDownTime) == 28 && offsetof(BiBrokenDownTime, tm_wday) == 24);
static_assert(sizeof(BrtlKeyEvent) == 8);
static_assert(sizeof(BiBuiltInVar_Command_) == 256);
#endif

namespace {

constexpr size_t kWord = sizeof(void *);

// The pointer fields are a word of the build; every other field keeps its 32-bit offset until
// the first pointer, and the fields after a pointer follow it.
TEST(RecordLayout, ThePointerFieldsAreWordsOfTheBuild) {
    EXPECT_EQ(sizeof(BiString), 2 * kWord);
    EXPECT_EQ(offsetof(BiString, length_word), kWord);

    EXPECT_EQ(offsetof(BiArrayDesc, element_size), 4u);
    EXPECT_EQ(offsetof(BiArrayDesc, byte_size), 8u);
    EXPECT_EQ(offsetof(BiArrayDesc, data), 16u);
    EXPECT_EQ(sizeof(BiArrayDesc), 16 + kWord);

    EXPECT_EQ(offsetof(BiFileFieldList, fields), kWord);
    EXPECT_EQ(sizeof(BiFileField), 3 * kWord);
    EXPECT_EQ(offsetof(BiFileField, address), kWord);
    EXPECT_EQ(offsetof(BiFileField, size), 2 * kWord);

    EXPECT_EQ(offsetof(BiFormatStackCell, next), kWord);
}

// The Variant is 16 bytes with its value at offset 8 in every build but 64-bit Windows, whose
// system Variant has room for a record of two pointers.
TEST(RecordLayout, TheVariantKeepsItsValueAtOffsetEight) {
    EXPECT_EQ(offsetof(VARIANT, vt), 0u);
    EXPECT_EQ(offsetof(VARIANT, dblVal), 8u);
    EXPECT_EQ(offsetof(VARIANT, bstrVal), 8u);
#if defined(_WIN64)
    EXPECT_EQ(sizeof(VARIANT), 24u);
#else
    EXPECT_EQ(sizeof(VARIANT), 16u);
#endif
}

class ArrayDescriptorTest : public brtl_test::RuntimeTest {};

// The library uses only the element size, the storage size and the storage pointer of an array
// descriptor; what translated code keeps in the other fields stays as it was.
TEST_F(ArrayDescriptorTest, OnlyTheThreeFieldsOfTheLibraryChange) {
    BiArrayDesc desc{};
    desc.reserved0 = 0xAAAAAAAAu;
    desc.element_size = 6;
    desc.reserved6 = 0xBBBB;
    desc.byte_size = 30;
    desc.reserved12 = 0xCCCCCCCCu;
    ZbiAllocArrayData(&desc);
    ASSERT_NE(desc.data, nullptr);
    const auto *storage = static_cast<const unsigned char *>(desc.data);
    for (size_t i = 0; i < 30; ++i)
        EXPECT_EQ(storage[i], 0) << i;
    EXPECT_EQ(ZbiArrayElementAddr(&desc, 4), storage + 24);
    ZbiReallocArrayData(&desc, 36);
    EXPECT_EQ(desc.byte_size, 36u);
    EXPECT_EQ(desc.reserved0, 0xAAAAAAAAu);
    EXPECT_EQ(desc.reserved6, 0xBBBB);
    EXPECT_EQ(desc.reserved12, 0xCCCCCCCCu);
    ZbiFreeArrayData(&desc);
    EXPECT_EQ(desc.data, nullptr);
    EXPECT_EQ(desc.reserved0, 0xAAAAAAAAu);
    EXPECT_TRUE(traps().empty());
}

} // namespace
