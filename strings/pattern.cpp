#include "strings/pattern.h"

#include <cstring>

#include "brtl/host.h"
#include "platform/codepage.h"

namespace brtl::strings {

namespace {

enum class ListAnswer { In, Out, Bad };

// The byte form: a text byte is folded once, the list items as they are read.
struct ByteRules {
    bool ignore_case;

    unsigned fold(char c) const {
        unsigned char b = static_cast<unsigned char>(c);
        return ignore_case ? static_cast<unsigned>(platform::to_lower(b)) : b;
    }
    bool same(char pattern, char text) const { return fold(pattern) == fold(text); }
    bool digit(char c) const { return platform::is_digit(static_cast<unsigned char>(c)); }
    // "[!]" holds "!" in the byte form.
    static constexpr bool kBangAloneNegates = false;

    struct Probe {
        signed char value;
    };
    Probe probe(char c) const { return {static_cast<signed char>(fold(c))}; }
    bool equal(char item, const Probe &c) const {
        return static_cast<signed char>(fold(item)) == c.value;
    }
    // Bytes order as signed 8-bit values in a range.
    ListAnswer range(char lo, char hi, const Probe &c) const {
        auto l = static_cast<signed char>(fold(lo)), h = static_cast<signed char>(fold(hi));
        if (h < l) return ListAnswer::Bad;
        return l <= c.value && c.value <= h ? ListAnswer::In : ListAnswer::Out;
    }
};

// The wide form: list items compare by the text of their code page form.
struct WideRules {
    bool ignore_case;

    OLECHAR fold(OLECHAR c) const { return ignore_case ? platform::tow_lower(c) : c; }
    bool same(OLECHAR pattern, OLECHAR text) const { return fold(pattern) == fold(text); }
    bool digit(OLECHAR c) const { return platform::isw_digit(c); }
    // "[!]" is a negated empty list in the wide form.
    static constexpr bool kBangAloneNegates = true;

    struct Probe {
        char text[4];
    };
    Probe probe(OLECHAR c) const {
        Probe p{};
        if (platform::wctomb(p.text, fold(c)) < 0) p.text[0] = platform::kDefaultChar;
        return p;
    }
    int order(const char *a, const char *b) const {
        return ignore_case ? ZrStrColl(a, b) : std::strcmp(a, b);
    }
    bool equal(OLECHAR item, const Probe &c) const { return order(probe(item).text, c.text) == 0; }
    ListAnswer range(OLECHAR lo, OLECHAR hi, const Probe &c) const {
        Probe l = probe(lo), h = probe(hi);
        if (order(l.text, h.text) > 0) return ListAnswer::Bad;
        bool in = order(l.text, c.text) <= 0 && order(c.text, h.text) <= 0;
        return in ? ListAnswer::In : ListAnswer::Out;
    }
};

// A pattern read as a NUL-terminated text of known length: the unit at i, or NUL past the end.
template <typename Unit> struct Pattern {
    const Unit *p;
    size_t n;
    Unit at(size_t i) const { return i < n ? p[i] : Unit(0); }
};

// Reads the whole list that starts after "[" at `i` (every item, to find the closing "]"), and
// tells whether the text unit c is in it; `i` moves past the "]".
template <typename Unit, typename Rules>
ListAnswer read_list(const Pattern<Unit> &pat, size_t &i, Unit c, const Rules &rules) {
    bool negated = false;
    if (pat.at(i) == Unit('!') && (Rules::kBangAloneNegates || pat.at(i + 1) != Unit(']'))) {
        negated = true;
        ++i;
    }
    auto probe = rules.probe(c);
    bool found = false;
    for (;;) {
        Unit lo = pat.at(i);
        if (lo == Unit(0)) return ListAnswer::Bad;
        if (lo == Unit(']')) break;
        if (pat.at(i + 1) == Unit('-') && pat.at(i + 2) != Unit(']')) {
            Unit hi = pat.at(i + 2);
            if (hi == Unit(0)) return ListAnswer::Bad;
            ListAnswer a = rules.range(lo, hi, probe);
            if (a == ListAnswer::Bad) return a;
            found = found || a == ListAnswer::In;
            i += 3;
        } else {
            found = found || rules.equal(lo, probe);
            ++i;
        }
    }
    ++i;
    return found != negated ? ListAnswer::In : ListAnswer::Out;
}

enum class Step { Advanced, Failed, Bad };

// Matches the one element at pi (not a "*") against the text at ti, moving both past it.
template <typename Unit, typename Rules>
Step step(const Pattern<Unit> &pat, size_t &pi, const Unit *t, size_t tn, size_t &ti,
          const Rules &rules) {
    Unit u = pat.p[pi];
    if (u == Unit('[') && pat.at(pi + 1) == Unit(']')) { // the empty run
        pi += 2;
        return Step::Advanced;
    }
    if (ti == tn) return Step::Failed;
    Unit c = t[ti];
    if (u == Unit('[')) {
        size_t i = pi + 1;
        ListAnswer a = read_list(pat, i, c, rules);
        if (a != ListAnswer::In) return a == ListAnswer::Bad ? Step::Bad : Step::Failed;
        pi = i;
    } else if (u == Unit('?') || (u == Unit('#') && rules.digit(c)) ||
               (u != Unit('#') && rules.same(u, c))) {
        ++pi;
    } else {
        return Step::Failed;
    }
    ++ti;
    return Step::Advanced;
}

template <typename Unit, typename Rules>
MatchResult match(const Unit *t, size_t tn, const Unit *p, size_t pn, const Rules &rules) {
    Pattern<Unit> pat{p, pn};
    size_t pi = 0, ti = 0;
    bool starred = false; // a "*" has been passed: retry from it on a failure
    size_t star_pi = 0, star_ti = 0;
    for (;;) {
        Step s = Step::Failed;
        if (pi < pn && p[pi] == Unit('*')) {
            if (pi + 1 == pn) return MatchResult::Match;
            starred = true;
            star_pi = ++pi;
            star_ti = ti;
            continue;
        }
        if (pi == pn) {
            if (ti == tn) return MatchResult::Match;
        } else {
            s = step(pat, pi, t, tn, ti, rules);
        }
        if (s == Step::Advanced) continue;
        if (s == Step::Bad) return MatchResult::BadList;
        // The "*" takes one more text unit; past the end of the text nothing is left to try.
        if (!starred || star_ti == tn) return MatchResult::NoMatch;
        pi = star_pi;
        ti = ++star_ti;
    }
}

} // namespace

MatchResult match_bytes(const char *text, size_t text_length, const char *pattern,
                        size_t pattern_length, bool ignore_case) {
    return match(text, text_length, pattern, pattern_length, ByteRules{ignore_case});
}

MatchResult match_wide(const OLECHAR *text, size_t text_length, const OLECHAR *pattern,
                       size_t pattern_length, bool ignore_case) {
    return match(text, text_length, pattern, pattern_length, WideRules{ignore_case});
}

} // namespace brtl::strings
