// A reference for Like, shared by its suite and its differential fuzz target: the pattern walk
// written out element by element over single-byte text.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace brtl_test {

// The pattern walk written out as the elements describe it: each element matched in turn, a "*"
// trying the rest at every position from the current one to the end of the text, memoised over
// (element, position) so that it stays quick. It answers what the recursive walk answers and
// raises on the first bad list that walk reaches with a character left.
class ReferenceMatcher {
  public:
    enum class Answer { No, Yes, Bad };

    ReferenceMatcher(const std::string &text, const std::string &pattern, bool ignore_case,
                     bool bang_alone_negates)
        : t_(text), ic_(ignore_case) {
        parse(pattern, bang_alone_negates);
    }
    Answer answer() { return walk(0, 0); }

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

    Answer walk(size_t e, size_t j) {
        if (e == e_.size()) return j == t_.size() ? Answer::Yes : Answer::No;
        auto key = std::pair{e, j};
        if (auto it = memo_.find(key); it != memo_.end()) return it->second;
        Answer a = step(e, j);
        memo_[key] = a;
        return a;
    }

    Answer step(size_t e, size_t j) {
        const Element &el = e_[e];
        if (el.kind == Element::Star) {
            if (e + 1 == e_.size()) return Answer::Yes;
            for (size_t k = j; k <= t_.size(); ++k)
                if (Answer a = walk(e + 1, k); a != Answer::No) return a;
            return Answer::No;
        }
        if (el.kind == Element::Empty) return walk(e + 1, j);
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
        return ok ? walk(e + 1, j + 1) : Answer::No;
    }

    std::string t_;
    bool ic_;
    std::vector<Element> e_;
    std::map<std::pair<size_t, size_t>, Answer> memo_;
};

} // namespace brtl_test
