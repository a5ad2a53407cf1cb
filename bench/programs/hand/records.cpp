// records.bas by hand: 100,000 customer records of a user type Put to a Random file in order, then
// Get back in a scattered order (record k * 7919 mod 100,000 + 1, which visits each once); the
// fields read are summed and each name is checked against its id. Prints the records matched and
// the sums. The file goes to the folder TMPDIR names, else to the current one.
//
// The record is a C structure with the fields of the type; Put and Get take the list of its
// field descriptors, which is made once, since the fields stay where they are.
#include "hand.h"

namespace {

constexpr int32_t kCount = 100000;
constexpr int16_t kFile = 1;
constexpr uint32_t kNameLength = 20;

// Type Customer: Id As Long, Name As String * 20, Balance As Currency, Visits As Integer.
struct Customer {
    int32_t id = 0;
    char name[kNameLength + 1] = {}; // a fixed-length string starts as NUL characters
    BiCurrency balance = 0;
    int16_t visits = 0;
};
// Its length in a file (Len of a Customer): the fields' own lengths, without the gaps.
constexpr int16_t kRecordLength = 4 + kNameLength + 8 + 2;

// The field list of Put and Get over one Customer: a BiFileFieldList of four descriptors.
struct CustomerFields {
    int32_t count;
    BiFileField fields[4];
};
static_assert(offsetof(CustomerFields, fields) == offsetof(BiFileFieldList, fields));

void program() {
    using brtl::rt::concat;
    Customer c;
    const CustomerFields fields = {4,
                                   {{BI_TYPE_LONG, &c.id, 4},
                                    {BI_TYPE_FIXED_STRING, c.name, kNameLength},
                                    {BI_TYPE_CURRENCY, &c.balance, 8},
                                    {BI_TYPE_INTEGER, &c.visits, 2}}};
    const auto *list = reinterpret_cast<const BiFileFieldList *>(&fields);
    int32_t matched = 0, visits = 0;
    double ids = 0;
    BiCurrency balances = 0;

    BiString path = brtl::rt::empty_string();
    brtl::rt::assign(path, ZbiBuiltIn_EnvironStr(hand::text("TMPDIR")));
    if (BiStringLength(path) == 0) brtl::rt::assign(path, ZbiBuiltIn_CurDir_(hand::text("")));
    brtl::rt::assign(path, concat(path, hand::text("/brtl-records.dat")));

    ZbiBuiltIn_Open(path, BI_FILE_MODE_RANDOM, BI_FILE_ACCESS_DEFAULT, BI_FILE_LOCK_DEFAULT, kFile,
                    kRecordLength);
    for (int32_t i = 1; i <= kCount; i = hand::add(i, 1)) {
        c.id = i;
        BiString name{c.name, kNameLength};
        ZbiBuiltIn_LSet(&name, concat(hand::text("Customer "), hand::cstr(i)));
        c.balance = ZbiCvtDblCurNum(hand::add_double(hand::mul_double(i % 1000, 0.25), 1.5));
        c.visits = hand::to_integer(i % 300);
        ZbiBuiltIn_Put(kFile, i, 1, list);
    }
    for (int32_t k = 1; k <= kCount; k = hand::add(k, 1)) {
        int32_t i = hand::add(hand::mul(k, 7919) % kCount, 1);
        ZbiBuiltIn_Get(kFile, i, 1, list);
        BiString trimmed = ZbiBuiltIn_RTrim_(BiString{c.name, kNameLength});
        BiString expected = concat(hand::text("Customer "), hand::cstr(c.id));
        if (brtl::rt::view(trimmed) == brtl::rt::view(expected)) matched = hand::add(matched, 1);
        brtl::rt::drop(trimmed);
        brtl::rt::drop(expected);
        ids = hand::add_double(ids, c.id);
        balances = hand::add(balances, c.balance);
        visits = hand::add(visits, int32_t{c.visits});
    }
    ZbiBuiltIn_Close(1, &kFile);
    ZbiBuiltIn_Kill(path);

    BiString line = concat(hand::text("checksum records "), hand::cstr(matched));
    line = concat(line, hand::text(" "));
    line = concat(line, ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &ids, hand::text("0")));
    line = concat(line, hand::text(" "));
    line = concat(line, ZbiBuiltIn_Format_(BI_FORMAT_CURRENCY, &balances, hand::text("0.00")));
    line = concat(line, hand::text(" "));
    line = concat(line, hand::cstr(visits));
    brtl::rt::print_item(line);
    brtl::rt::console_newline();

    brtl::rt::release(path);
}

} // namespace

int main() {
    return hand::run(program);
}
