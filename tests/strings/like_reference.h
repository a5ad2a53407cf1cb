// A reference for Like, shared by its suite and its differential fuzz target: the pattern walk
// written out element by element over single-byte text.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace brtl_test {

// The pattern walk written out as the elements describe it: each element matched in turn, a "*"
// trying the rest at every position from the current one to the end of the text. The answers of
// (element, position) are worked out from the last element back, one row of positions at a time,
// so that any pattern and text take time in proportion to their product. It answers what the
// recursive walk answers and raises on the first bad list that walk reaches with a character
// left.
class ReferenceMatcher {
  public:
    enum class Answer { No, Yes, Bad };

    ReferenceMatcher(const std::string &text, const std::string &pattern, bool ignore_case,
                     bool bang_alone_negates)
        : t_(text), ic_(ignore_case) {
        parse(pattern, bang_alone_negates);
    }
    Answer answer() {
        const size_t n = t_.size();
        // after[j]: the answer from element e + 1 at position j; here[j] from element e.
        std::vector<Answer> after(n + 1, Answer::No), here(n + 1);
        after[n] = Answer::Yes;
        for (size_t e = e_.size(); e-- > 0;) {
            for (size_t j = n + 1; j-- > 0;)
                here[j] = step(e, j, after, here);
            after.swap(here);
        }
        return after[0];
    }

  private:
    struct Element {
        enum Kind { Star, Any, Digit, Empty, List, Bad, Literal } kind = Literal;
        char c = 0;
        bool negated = false;
        std::vector<std::pair<int, int>> ranges; // folded, as signed bytes
    };
    static Element element(Element::Kind kind, char c = 0) {
        Element e;
        e.kind = kind;
        e.c = c;
        return e;
    }

    int fold(char c) const {
        int v = static_cast<signed char>(c);
        return ic_ && c >= 'A' && c <= 'Z' ? v + 32 : v;
    }

    void parse(const std::string &p, bool bang_alone_negates) {
        auto at = [&](size_t i) { return i < p.size() ? p[i] : '\0'; };
        for (size_t i = 0; i < p.size();) {
            char c = p[i];
            if (c == '*' || c == '?' || c == '#') {
                e_.push_back(element(c == '*'   ? Element::Star
                                     : c == '?' ? Element::Any
                                                : Element::Digit));
                ++i;
                continue;
            }
            if (c != '[') {
                e_.push_back(element(Element::Literal, c));
                ++i;
                continue;
            }
            if (at(i + 1) == ']') {
                e_.push_back(element(Element::Empty));
                i += 2;
                continue;
            }
            Element list = element(Element::List);
            size_t j = i + 1;
            if (at(j) == '!' && (bang_alone_negates || at(j + 1) != ']')) {
                list.negated = true;
                ++j;
            }
            for (;;) {
                char lo = at(j);
                if (lo == ']') break;
                bool range = at(j + 1) == '-' && at(j + 2) != ']';
                if (lo == '\0' || (range && (at(j + 2) == '\0' || fold(at(j + 2)) < fold(lo)))) {
                    e_.push_back(element(Element::Bad)); // nothing after it is ever reached
                    return;
                }
                list.ranges.push_back({fold(lo), fold(range ? at(j + 2) : lo)});
                j += range ? 3 : 1;
            }
            e_.push_back(list);
            i = j + 1;
        }
    }

    // The answer of element e at position j, from the answers of the next element (after) and
    // of this element at the positions beyond j (here). A "*" tries the rest at j first, then
    // goes on at j + 1, which tries the rest at j + 1, j + 2, ... in turn.
    Answer step(size_t e, size_t j, const std::vector<Answer> &after,
                const std::vector<Answer> &here) const {
        const Element &el = e_[e];
        if (el.kind == Element::Star) {
            if (e + 1 == e_.size()) return Answer::Yes;
            if (after[j] != Answer::No || j == t_.size()) return after[j];
            return here[j + 1];
        }
        if (el.kind == Element::Empty) return after[j];
        if (j == t_.size()) return Answer::No;
        if (el.kind == Element::Bad) return Answer::Bad;
        char c = t_[j];
        bool ok = true;
        if (el.kind == Element::Digit) ok = c >= '0' && c <= '9';
        if (el.kind == Element::Literal) ok = fold(el.c) == fold(c);
        if (el.kind == Element::List) {
            bool in = false;
            for (auto [lo, hi] : el.ranges)
                in = in || (lo <= fold(c) && fold(c) <= hi);
            ok = in != el.negated;
        }
        return ok ? after[j + 1] : Answer::No;
    }

    std::string t_;
    bool ic_;
    std::vector<Element> e_;
};

} // namespace brtl_test
