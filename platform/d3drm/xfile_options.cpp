// Finds AnimationSet, Animation and AnimationOptions blocks in a text X file with a small
// tokenizer: templates, comments, strings and GUIDs are skipped; a block's type is the first
// word before its brace, and a brace with no word before it is a reference.
#include "platform/d3drm/xfile_options.h"

#include <cstring>
#include <string>

namespace {

constexpr D3DRMANIMATIONOPTIONS kDefault = D3DRMANIMATION_CLOSED | D3DRMANIMATION_LINEARPOSITION;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsBreak(char c) {
    return IsSpace(c) || c == '{' || c == '}' || c == ';' || c == ',' || c == '"' || c == '<' ||
           c == '#' || c == '/';
}

}  // namespace

std::vector<std::vector<D3DRMANIMATIONOPTIONS>> ScanAnimationOptions(const char* text,
                                                                      size_t size) {
    std::vector<std::vector<D3DRMANIMATIONOPTIONS>> sets;
    if (size < 16 || std::memcmp(text, "xof ", 4) != 0 || std::memcmp(text + 8, "txt ", 4) != 0)
        return sets;

    std::vector<std::string> stack;  // open block types, "" for references
    std::string firstWord;           // first word since the last brace or separator
    int templateDepth = 0;           // > 0 while inside a template
    bool templatePending = false;
    int optionField = -1;            // which AnimationOptions number comes next, -1 none
    size_t i = 16;
    while (i < size) {
        char c = text[i];
        if (IsSpace(c)) {
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < size && text[i + 1] == '/')) {
            while (i < size && text[i] != '\n') ++i;
        } else if (c == '"') {
            for (++i; i < size && text[i] != '"'; ++i) {}
            ++i;
        } else if (c == '<') {
            while (i < size && text[i] != '>') ++i;
            ++i;
        } else if (c == '{') {
            ++i;
            if (templateDepth > 0 || templatePending) {
                ++templateDepth;
                templatePending = false;
                continue;
            }
            stack.push_back(firstWord);
            if (firstWord == "AnimationSet") {
                sets.emplace_back();
            } else if (firstWord == "Animation" && stack.size() >= 2 &&
                       stack[stack.size() - 2] == "AnimationSet" && !sets.empty()) {
                sets.back().push_back(kDefault);
            } else if (firstWord == "AnimationOptions" && stack.size() >= 2 &&
                       stack[stack.size() - 2] == "Animation" && !sets.empty() &&
                       !sets.back().empty()) {
                optionField = 0;
            }
            firstWord.clear();
        } else if (c == '}') {
            ++i;
            if (templateDepth > 0) {
                --templateDepth;
                continue;
            }
            if (!stack.empty()) stack.pop_back();
            optionField = -1;
            firstWord.clear();
        } else if (c == ';' || c == ',' || c == '/') {
            ++i;
            firstWord.clear();
        } else {
            size_t start = i;
            while (i < size && !IsBreak(text[i])) ++i;
            std::string word(text + start, i - start);
            if (templateDepth > 0) continue;
            if (word == "template") {
                templatePending = true;
                continue;
            }
            if (optionField >= 0 && optionField < 2) {
                D3DRMANIMATIONOPTIONS& o = sets.back().back();
                long value = std::strtol(word.c_str(), nullptr, 10);
                if (optionField == 0) {
                    o &= ~static_cast<DWORD>(D3DRMANIMATION_OPEN | D3DRMANIMATION_CLOSED);
                    o |= value == 1 ? D3DRMANIMATION_OPEN : D3DRMANIMATION_CLOSED;
                } else {
                    o &= ~static_cast<DWORD>(D3DRMANIMATION_LINEARPOSITION |
                                             D3DRMANIMATION_SPLINEPOSITION);
                    o |= value == 0 ? D3DRMANIMATION_SPLINEPOSITION
                                    : D3DRMANIMATION_LINEARPOSITION;
                }
                ++optionField;
                continue;
            }
            if (firstWord.empty()) firstWord = word;
        }
    }
    // The importer drops sets without animations; so must the list that pairs with its sets.
    std::vector<std::vector<D3DRMANIMATIONOPTIONS>> kept;
    for (auto& s : sets)
        if (!s.empty()) kept.push_back(std::move(s));
    return kept;
}
