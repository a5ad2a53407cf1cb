// Like (ZbiMatchPattern): the elements, both case modes, both code pages, the host's matcher,
// trap 93, long and adversarial inputs, and agreement with a reference walk on random inputs.
// Also ZbiStripOutFormatChars.
#include <chrono>
#include <cstring>

#include "strings/like_reference.h"
#include "strings/string_checks.h"

using namespace brtl_test;
using namespace std::string_literals;

namespace {

using LikeTest = RuntimeTest;

constexpr int kNull = 2;

// text Like pattern: -1 or 0, or kNull; the traps are in host().traps.
int like(VARIANT text, VARIANT pattern) {
    VARIANT r = i4(99);
    EXPECT_EQ(ZbiMatchPattern(&r, text, pattern), &r);
    if (r.vt == VT_NULL) return kNull;
    EXPECT_EQ(r.vt, VT_I2);
    return r.iVal;
}
int like(const std::string &text, const std::string &pattern) {
    return like(bstr_variant(text), bstr_variant(pattern));
}

struct LikeCase {
    std::string text, pattern;
    bool expected;
};

void expect_likes(std::initializer_list<LikeCase> cases) {
    for (const LikeCase &c : cases) {
        BlockBalance balance;
        EXPECT_EQ(like(c.text, c.pattern), c.expected ? -1 : 0)
            << "\"" << c.text << "\" Like \"" << c.pattern << "\"";
        EXPECT_EQ(balance.delta(), 0); // both operands released
    }
    EXPECT_TRUE(host().traps.empty());
}

using L = LikeCase;

const Trap kPatternTrap{BI_TRAP_PATTERN, Family::Trap, ""};

} // namespace

TEST_F(LikeTest, Elements) {
    // What the random walk below does not draw: bytes beyond ASCII (ranges of signed bytes),
    // "*" and "?" inside a list, embedded NULs, and an empty text.
    expect_likes({L{"abc", "a*c", true}, L{"", "*", true}, L{"", "", true}, L{"", "[]", true},
                  L{"", "?", false}, L{"", "#", false}, L{"", "[a]", false},
                  L{"a*c", "a[*]c", true}, L{"abc", "a[?]c", false}, L{"\xE9", "[\xE0-\xEF]", true},
                  L{"aXb", "a[A-Z]b", true}, L{"a\0b"s, "a?b", true}, L{"ab", "a\0b"s, false},
                  L{"a\0"s, "a\0"s, true}});
}

TEST_F(LikeTest, CaseFollowsTheTextCompareQuery) {
    for (bool text_compare : {false, true}) {
        host().text_compare = text_compare;
        bool t = text_compare;
        expect_likes({L{"B", "b", t}, L{"b", "B", t}, L{"ABC", "a*c", t}, L{"B", "[a-c]", t},
                      L{"b", "[A-C]", t}, L{"b", "[!B]", !t}});
        host().text_compare = false;
        expect_likes({L{"[", "[Z-a]", true}}); // 'Z' to 'a' holds '[' when case counts
    }
    // Folded, the bounds of "[Z-a]" are reversed: a bad range.
    host().text_compare = true;
    EXPECT_EQ(like("a", "[Z-a]"), 0);
    EXPECT_EQ(traps(), std::vector<Trap>{kPatternTrap});
}

TEST_F(LikeTest, NullAndNumbers) {
    BlockBalance balance;
    EXPECT_EQ(like(null_variant(), bstr_variant("a")), kNull);
    EXPECT_EQ(like(bstr_variant("a"), null_variant()), kNull);
    EXPECT_EQ(like(i2(12), bstr_variant("1#")), -1);
    EXPECT_EQ(like(r8(2.5), bstr_variant("2.#")), -1);
    EXPECT_EQ(like(bstr_variant("7"), i4(7)), -1);
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(LikeTest, BadListsRaiseTrap93Once) {
    // A list without its "]" or with a bad range, reached while a text character remains. The
    // walk would meet it again at every position of the "*": it is raised once and the answer
    // is no match.
    const L bad[] = {L{"x", "[a", false},     L{"x", "[c-a]", false}, L{"x", "[a-", false},
                     L{"xxxx", "*[a", false}, L{"x", "[!", false},    L{"b", "[ba-\xE9]", false},
                     L{"x", "[b-a]", false}};
    for (const L &c : bad) {
        SCOPED_TRACE(c.pattern);
        expect_raises(
            [&] {
                return std::pair{bstr_variant(c.text), bstr_variant(c.pattern)};
            },
            [](std::pair<VARIANT, VARIANT> &v) { EXPECT_EQ(like(v.first, v.second), 0); },
            kPatternTrap);
    }
    // Not reached with a character left: nothing is raised.
    expect_likes({L{"x", "y[a", false}, L{"", "[c-a]", false}, L{"abc", "*c[", false}});
}

TEST_F(LikeTest, LongAndAdversarialInputs) {
    // "a" repeated 100,000 times against 20 repetitions of "*a" and a "b": a walk that retries
    // every "*" at every position would never end.
    std::string text(100000, 'a'), pattern;
    for (int i = 0; i < 20; ++i)
        pattern += "*a";
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(like(text, pattern + "b"), 0);
    EXPECT_EQ(like(text + "b", pattern + "b"), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    // Patterns of 100,000 elements: no recursion to run out of stack.
    EXPECT_EQ(like(text, std::string(100000, '?')), -1);
    EXPECT_EQ(like(text, std::string(99999, '?')), 0);
    std::string stars;
    for (int i = 0; i < 50000; ++i)
        stars += "a*";
    EXPECT_EQ(like(text, stars), -1);
    std::string lists;
    for (int i = 0; i < 100000 / 3; ++i)
        lists += "[a]";
    EXPECT_EQ(like(std::string(100000 / 3, 'a'), lists), -1);
    EXPECT_TRUE(traps().empty());
}

TEST_F(LikeTest, WideMatcherUnderTheDoubleByteCodePage) {
    use_japanese();
    // One double-byte character is one "?"; "[!]" is a negated empty list; ranges and items
    // compare by the code page text; full-width digits are digits.
    const std::u16string a = u"\u3042", i = u"\u3044", u = u"\u3046";
    struct W {
        std::u16string text, pattern;
        bool expected;
    };
    for (const W &c : {W{a + u"b", u"??", true}, W{a + u"b", u"?", false}, W{u"x", u"[!]", true},
                       W{u"", u"[!]", false}, W{i, u"[" + a + u"-" + u + u"]", true},
                       W{u"b", u"[" + a + u"-" + u + u"]", false}, W{a, u"[" + i + a + u"]", true},
                       W{u"\uFF11", u"#", true}, W{u"a" + a + u"c", u"a*c", true}}) {
        EXPECT_EQ(like(bstr_variant(c.text), bstr_variant(c.pattern)), c.expected ? -1 : 0)
            << std::string(c.pattern.begin(), c.pattern.end());
    }
    EXPECT_TRUE(traps().empty());
    host().text_compare = true;
    EXPECT_EQ(like(bstr_variant(u"\uFF21"), bstr_variant(u"\uFF41")), -1); // full-width A, a
    EXPECT_EQ(like(bstr_variant(u"A"), bstr_variant(u"[a]")), -1);
    EXPECT_EQ(like(bstr_variant(u"x"), bstr_variant(u"[" + u + u"-" + a + u"]")), 0);
    EXPECT_EQ(traps(), std::vector<Trap>{kPatternTrap});
}

namespace {

struct HostCall {
    std::u16string text, pattern;
    int32_t ignore_case;
};
std::vector<HostCall> g_host_calls;

int32_t recording_matcher(const OLECHAR *text, const OLECHAR *pattern, int32_t ignore_case) {
    g_host_calls.push_back({reinterpret_cast<const char16_t *>(text),
                            reinterpret_cast<const char16_t *>(pattern), ignore_case});
    return -1;
}
int32_t throwing_matcher(const OLECHAR *, const OLECHAR *, int32_t) {
    throw TrapException{kPatternTrap};
}

struct HostMatcher {
    explicit HostMatcher(BiMatchPatternProc proc) {
        brtl_set_int_str_proc("ZrBiMatchPattern", reinterpret_cast<void *>(proc));
    }
    ~HostMatcher() { brtl_set_int_str_proc("ZrBiMatchPattern", nullptr); }
};

} // namespace

TEST_F(LikeTest, HostMatcherUnderTheDoubleByteCodePage) {
    HostMatcher matcher(recording_matcher);
    g_host_calls.clear();
    EXPECT_EQ(like("abc", "x"), 0); // single-byte code page: the byte matcher
    EXPECT_TRUE(g_host_calls.empty());
    use_japanese();
    host().text_compare = true;
    EXPECT_EQ(like(bstr_variant(u"\u3042b"), bstr_variant(u"x[")), -1); // its answer, no trap
    ASSERT_EQ(g_host_calls.size(), 1u);
    EXPECT_EQ(g_host_calls[0].text, u"\u3042b");
    EXPECT_EQ(g_host_calls[0].pattern, u"x[");
    EXPECT_EQ(g_host_calls[0].ignore_case, 1);
    EXPECT_TRUE(traps().empty());
    {
        // A host matcher that leaves by an exception: both operands and the copies are freed.
        HostMatcher thrower(throwing_matcher);
        BlockBalance balance;
        EXPECT_THROW(like(bstr_variant(u"abc"), bstr_variant(u"a*")), TrapException);
        EXPECT_EQ(balance.delta(), 0);
    }
}

TEST_F(LikeTest, RunningOutOfMemory) {
    use_japanese(); // the code page copies and the UTF-16 copies
    for (long successes = 0; successes < 6; ++successes) {
        SCOPED_TRACE(successes);
        std::string long_text(300, 'a');
        BlockBalance balance;
        VARIANT text = bstr_variant(long_text), pattern = bstr_variant(long_text + "*");
        fail_allocations_after(successes);
        int r = like(text, pattern);
        fail_allocations_after(-1);
        EXPECT_EQ(balance.delta(), 0);
        if (traps().empty()) {
            EXPECT_EQ(r, -1);
            break;
        }
        EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_OUT_OF_MEMORY, Family::Trap, ""}}));
        EXPECT_EQ(r, 0);
        clear_traps();
    }
}

// ---- Agreement with a reference walk -----------------------------------------------------------

namespace {

std::string random_text(uint32_t &seed, const char *alphabet, size_t max_length) {
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    size_t n = next() % (max_length + 1), letters = std::strlen(alphabet);
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s.push_back(alphabet[next() % letters]);
    return s;
}

} // namespace

TEST_F(LikeTest, AgreesWithTheReferenceWalk) {
    // Both code pages (the byte matcher and the wide matcher) and both case modes; the texts
    // and patterns are short and drawn from few characters so that lists, ranges, stars and
    // bad lists meet often.
    uint32_t seed = 12345;
    for (bool japanese : {false, true}) {
        if (japanese) use_japanese();
        for (bool ignore_case : {false, true}) {
            host().text_compare = ignore_case;
            int matches = 0, bad = 0;
            for (int round = 0; round < 15000; ++round) {
                std::string text = random_text(seed, "abAB1-!]z", 6);
                std::string pattern = random_text(seed, "ab*?#[]!-1AZ[a*", 8);
                ReferenceMatcher reference(text, pattern, ignore_case, japanese);
                ReferenceMatcher::Answer expected = reference.answer();
                clear_traps();
                int r = like(text, pattern);
                SCOPED_TRACE("\"" + text + "\" Like \"" + pattern + "\"");
                ASSERT_EQ(r, expected == ReferenceMatcher::Answer::Yes ? -1 : 0);
                ASSERT_EQ(traps().size(), expected == ReferenceMatcher::Answer::Bad ? 1u : 0u);
                matches += expected == ReferenceMatcher::Answer::Yes;
                bad += expected == ReferenceMatcher::Answer::Bad;
            }
            // The draw exercises every outcome.
            EXPECT_GT(matches, 500);
            EXPECT_GT(bad, 500);
        }
    }
}

// ---- ZbiStripOutFormatChars -------------------------------------------------------------------

TEST_F(LikeTest, StripOutFormatChars) {
    // The placeholders go as Error$ drops them (the rules are tested there), in place, and the
    // new length is returned.
    for (auto [text, expected] :
         {std::pair{"File '%s' not found", "File not found"}, {"x  ", "x"}, {"%s", ""}}) {
        std::vector<char> buffer(text, text + std::strlen(text) + 1);
        EXPECT_EQ(ZbiStripOutFormatChars(buffer.data()),
                  static_cast<int32_t>(std::strlen(expected)));
        EXPECT_STREQ(buffer.data(), expected) << text;
    }
}
