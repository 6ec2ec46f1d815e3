#include "variable_store.h"

#include <algorithm>
#include <optional>

#include "comma_text.h"
#include "script_error.h"
#include "source_tags.h"

namespace {

constexpr std::string_view kNewlineReference = "$NEWLINE$";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUndefinedReference = "$ZONDNX$";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = AsciiUpper(c);
    return upper;
}

void AsciiUpperInPlace(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) text[i] = AsciiUpper(text[i]);
}

bool AsciiEqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiUpper(x) == AsciiUpper(y);
           });
}

// Replaces, left to right and without overlap, every occurrence of `pattern` in `upper` (the
// upper-cased twin of `text`, of equal length) by `replacement`; text between matches is copied
// from `text` unchanged. Gives nothing when the result would grow beyond `limit` bytes.
std::optional<std::string> ReplaceAll(const std::string& text, const std::string& upper,
                                      std::string_view pattern, std::string_view replacement,
                                      std::size_t limit = std::string::npos) {
    std::size_t count = 0;
    for (std::size_t found = upper.find(pattern); found != std::string::npos;
         found = upper.find(pattern, found + pattern.size())) {
        ++count;
    }
    if (count == 0) return text;
    if (replacement.size() > pattern.size()) {
        const std::size_t growth = replacement.size() - pattern.size();
        if (growth > (limit - std::min(limit, text.size())) / count) return std::nullopt;
    }
    std::string result;
    result.reserve(text.size() - count * pattern.size() + count * replacement.size());
    std::size_t copied = 0;
    for (std::size_t found = upper.find(pattern); found != std::string::npos;
         found = upper.find(pattern, copied)) {
        result.append(text, copied, found - copied);
        result += replacement;
        copied = found + pattern.size();
    }
    result.append(text, copied, std::string::npos);
    return result;
}

}  // namespace

VariableStore::VariableStore(ProgressState& flags, StoreHooks hooks)
    : flags_(flags), hooks_(hooks) {
    if (!hooks_.upper_case) hooks_.upper_case = AsciiUpperInPlace;
}

// ---- Entries ----------------------------------------------------------------------------

std::string VariableStore::UpperCase(std::string_view text) const {
    std::string upper(text);
    hooks_.upper_case(upper.data(), upper.size());
    return upper;
}

const VariableStore::Entry* VariableStore::Find(std::string_view name) const {
    const auto found = by_name_.find(AsciiUpper(name));
    return found == by_name_.end() ? nullptr : &entries_[found->second];
}

void VariableStore::Append(std::string name) {
    const std::size_t position = entries_.size();
    by_name_.emplace(AsciiUpper(name), position);
    if (name.find('$') != std::string::npos) {
        dollar_names_.push_back(position);
    } else {
        by_reference_[UpperCase(name)].push_back(position);
    }
    entries_.push_back({std::move(name), {}});
}

void VariableStore::Declare(std::string_view name, std::string_view value, std::string_view tag) {
    if (name.empty()) return;
    std::lock_guard hold(lock_);
    if (!Find(name)) Append(std::string(name));
    Assign(name, value, tag);
}

void VariableStore::Define(std::string_view name, std::string_view /*tag*/) {
    if (name.empty()) return;
    std::lock_guard hold(lock_);
    if (!Find(name)) Append(AsciiUpper(name));
}

void VariableStore::Assign(std::string_view name, std::string_view value, std::string_view tag) {
    std::lock_guard hold(lock_);
    if (tag != kTagInjectOverride && flags_.IsSilent()) {
        const bool overridden =
            std::any_of(overrides_.begin(), overrides_.end(),
                        [&](const Pair& pair) { return AsciiEqualIgnoringCase(pair.first, name); });
        if (overridden) return;
    }
    const Entry* entry = Find(name);
    if (!entry) {
        throw ScriptError("Attempting to set value of undefined variable " + std::string(name));
    }
    entries_[static_cast<std::size_t>(entry - entries_.data())].value = value;
    if (AsciiEqualIgnoringCase(name, "ABORT")) flags_.SetCancelRequested(Truth(value));
}

std::string VariableStore::Read(std::string_view name) const {
    std::lock_guard hold(lock_);
    const Entry* entry = Find(name);
    if (!entry) {
        throw ScriptError("Attempting to get value of undefined variable " + std::string(name));
    }
    return Expand(entry->value);
}

bool VariableStore::IsDefined(std::string_view name) const {
    std::lock_guard hold(lock_);
    return Find(name) != nullptr;
}

std::string VariableStore::ReadReference(std::string_view text) const {
    std::string name = ReferenceName(text);
    if (name.empty()) name = text;
    std::lock_guard hold(lock_);
    return IsDefined(name) ? Expand(Read(name)) : std::string(kUndefinedReference);
}

std::string VariableStore::ReadOrEmpty(std::string_view text) const {
    std::string name = ReferenceName(text);
    if (name.empty()) name = text;
    std::lock_guard hold(lock_);
    return IsDefined(name) ? Expand(Read(name)) : std::string();
}

void VariableStore::Clear() {
    std::lock_guard hold(lock_);
    entries_.clear();
    by_name_.clear();
    by_reference_.clear();
    dollar_names_.clear();
    persistent_.clear();
}

std::vector<VariableStore::Pair> VariableStore::Entries() const {
    std::lock_guard hold(lock_);
    std::vector<Pair> pairs;
    pairs.reserve(entries_.size());
    for (const Entry& entry : entries_) pairs.emplace_back(entry.name, entry.value);
    return pairs;
}

// ---- Expansion --------------------------------------------------------------------------

// The first store position at or after `from` whose reference occurs in `upper`. A reference
// of a name without "$" always lies between two neighbouring dollar signs, so the candidates
// are the texts between neighbouring dollar signs, looked up in the index.
std::size_t VariableStore::NextReferenced(const std::string& upper, std::size_t from) const {
    std::size_t best = kNone;
    std::string_view previous;  // texts often name one variable many times: look it up once
    bool first = true;
    const std::string_view text(upper);
    std::size_t open = text.find('$');
    while (open != std::string_view::npos && best != from) {
        const std::size_t close = text.find('$', open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view token = text.substr(open + 1, close - open - 1);
        open = close;
        if (!first && token == previous) continue;
        first = false;
        previous = token;
        const auto found = by_reference_.find(token);
        if (found == by_reference_.end()) continue;
        const auto& positions = found->second;
        const auto next = std::lower_bound(positions.begin(), positions.end(), from);
        if (next != positions.end()) best = std::min(best, *next);
    }
    for (const std::size_t position : dollar_names_) {
        if (position < from || position >= best) continue;
        if (upper.find('$' + UpperCase(entries_[position].name) + '$') != std::string::npos) {
            best = position;
            break;
        }
    }
    return best;
}

// One pass: "$NEWLINE$" becomes CR LF, then each variable in store order replaces its
// references. Variables that the text does not name are skipped through the index, which gives
// the same result as trying every variable in turn.
std::string VariableStore::ExpandOnce(std::string_view text, Quoting quoting, bool& bounded) const {
    std::lock_guard hold(lock_);
    if (hooks_.before_expand) hooks_.before_expand();
    std::string result = NewlineDecode(text);
    std::size_t from = 0;
    while (from < entries_.size() && result.find('$') != std::string::npos) {
        const std::string upper = UpperCase(result);
        const std::size_t position = NextReferenced(upper, from);
        if (position == kNone) break;
        const Entry& entry = entries_[position];
        const std::string pattern = '$' + UpperCase(entry.name) + '$';
        auto replaced =
            quoting == Quoting::kQuoted
                ? ReplaceAll(result, upper, pattern, '"' + entry.value + '"', kExpandLengthLimit)
                : ReplaceAll(result, upper, pattern, entry.value, kExpandLengthLimit);
        if (!replaced) {
            bounded = true;
            break;
        }
        result = std::move(*replaced);
        from = position + 1;
    }
    return result;
}

std::string VariableStore::Expand(std::string_view text, Quoting quoting) const {
    bool bounded = false;
    std::string current(text);
    for (int pass = 1;; ++pass) {
        std::string next = ExpandOnce(current, quoting, bounded);
        const bool stable = next.find('$') == std::string::npos || next == current;
        if (stable || bounded || pass >= kExpandPassLimit) return next;
        if (quoting == Quoting::kQuoted) return Expand(next, Quoting::kPlain);
        current = std::move(next);
    }
}

std::string VariableStore::Expand(std::string_view text) const {
    return Expand(text, Quoting::kPlain);
}

std::string VariableStore::ExpandQuoted(std::string_view text) const {
    return Expand(text, Quoting::kQuoted);
}

std::string VariableStore::PathNormalise(std::string_view text) const {
    const std::string expanded = Expand(text);
    const bool unc = expanded.starts_with("\\\\");
    std::string result = unc ? "\\" : "";
    for (std::size_t i = 0; i < expanded.size(); ++i) {
        result += expanded[i];
        if (expanded[i] == '\\' && i + 1 < expanded.size() && expanded[i + 1] == '\\') ++i;
    }
    return result;
}

// ---- Export and import ------------------------------------------------------------------

std::string VariableStore::Export() const {
    std::lock_guard hold(lock_);
    std::vector<std::string> elements;
    elements.reserve(entries_.size() * 2);
    for (const Entry& entry : entries_) {
        elements.push_back(entry.name);
        elements.push_back(entry.value);
    }
    return ToCommaText(elements);
}

void VariableStore::Import(std::string_view text) {
    std::vector<std::string> elements = FromCommaText(text);
    if (elements.size() % 2 != 0) elements.emplace_back();
    std::lock_guard hold(lock_);
    entries_.clear();
    by_name_.clear();
    by_reference_.clear();
    dollar_names_.clear();
    for (std::size_t i = 0; i < elements.size(); i += 2) {
        if (elements[i].empty()) continue;
        const Entry* entry = Find(elements[i]);
        const std::size_t position =
            entry ? static_cast<std::size_t>(entry - entries_.data()) : entries_.size();
        if (!entry) Append(std::move(elements[i]));
        entries_[position].value = std::move(elements[i + 1]);
    }
}

// ---- Overrides and persistent variables ---------------------------------------------------

void VariableStore::SetOverrides(std::vector<Pair> overrides) {
    std::lock_guard hold(lock_);
    overrides_ = std::move(overrides);
}

std::vector<VariableStore::Pair> VariableStore::Overrides() const {
    std::lock_guard hold(lock_);
    return overrides_;
}

void VariableStore::AddPersistent(std::string_view name) {
    std::lock_guard hold(lock_);
    const bool listed =
        std::any_of(persistent_.begin(), persistent_.end(),
                    [&](const std::string& p) { return AsciiEqualIgnoringCase(p, name); });
    if (!listed) persistent_.emplace_back(name);
}

void VariableStore::AppendPersistent(std::string_view name) {
    std::lock_guard hold(lock_);
    persistent_.emplace_back(name);
}

std::vector<std::string> VariableStore::PersistentNames() const {
    std::lock_guard hold(lock_);
    return persistent_;
}

// ---- Pure text operations ---------------------------------------------------------------

std::string VariableStore::ReferenceName(std::string_view text) {
    if (text.size() < 2 || text.front() != '$' || text.back() != '$') return {};
    const std::string_view inner = text.substr(1, text.size() - 2);
    return inner.find('$') == std::string_view::npos ? std::string(inner) : std::string();
}

std::string VariableStore::NewlineEncode(std::string_view text) {
    std::string result;
    std::size_t copied = 0;
    for (std::size_t found = text.find(kCrLf); found != std::string_view::npos;
         found = text.find(kCrLf, copied)) {
        result.append(text, copied, found - copied);
        result += kNewlineReference;
        copied = found + kCrLf.size();
    }
    result.append(text, copied);
    return result;
}

std::string VariableStore::NewlineDecode(std::string_view text) {
    return *ReplaceAll(std::string(text), AsciiUpper(text), kNewlineReference, kCrLf);
}

bool VariableStore::Truth(std::string_view text) {
    return AsciiEqualIgnoringCase(text, "TRUE") || text == "-1";
}

std::string VariableStore::TruthText(bool value) {
    return value ? "TRUE" : "FALSE";
}
