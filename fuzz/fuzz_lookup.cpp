// Fuzzed names and reference texts through the spell lookup, and fuzzed paragraphs through
// the wrapping of the start-up reference text.
//
// Input: byte 0 chooses the language (value mod 3) and the reference text (value / 3 mod 3:
// the fuzzed text, the built-in document of the language, the wrapped start-up text); byte 1
// chooses the wrapping width (1 to 128). The rest is UTF-8 text cut into sections at the unit
// separator (1F hex): section 0 is the reference text, every later one a name looked up in
// turn on the same pane. Each lookup must select exactly the first occurrence of the name
// followed by the language's suffix, letter case ignored, or leave the selection alone.

#include "FuzzInput.h"

#include "spellbook/DefaultSpellbook.h"
#include "spellbook/ReferenceDocuments.h"
#include "spellbook/SpellLookup.h"
#include "ui/TextPane.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using namespace quorvane;
using namespace quorvane::spellbook;
using fuzz::quoted;
using fuzz::require;

namespace {

constexpr qsizetype MaxLookups = 8;

enum class Source { Fuzzed, Document, Startup };

// Every unit folded on its own, as the program's searches fold them; a plain search in the
// folded texts is then a search that ignores letter case, kept apart from the pane's own.
std::u16string folded(QStringView s) {
    std::u16string out(std::size_t(s.size()), u'\0');
    for (qsizetype i = 0; i < s.size(); ++i)
        out[std::size_t(i)] = foldCase(s[i].unicode());
    return out;
}

struct Reference {
    TextPane pane;
    QString text;
    std::u16string folded;

    explicit Reference(const QString& source) {
        pane.setText(source);
        text = pane.text();
        folded = ::folded(text);
    }
};

// The built-in texts are large, so each is made into a pane once; a lookup changes only the
// selection, which every run sets before its first lookup.
Reference& builtIn(Source source, Language language) {
    static Reference documents[] = {Reference(referenceText(Language::English)),
                                    Reference(referenceText(Language::Italian)),
                                    Reference(referenceText(Language::Spanish))};
    static Reference startup(startupReferenceText());
    return source == Source::Startup ? startup : documents[int(language)];
}

void checkWrap(QStringView paragraph, qsizetype width) {
    const QStringList lines = hardWrap(paragraph, width);
    require(!lines.isEmpty(), "wrapping gave no line");
    require(lines.join(QString()) == paragraph, "the wrapped lines do not give the paragraph back");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.size() > width)
            fuzz::fail(QStringLiteral("wrapped line %1 of %2 is longer than %3")
                           .arg(i)
                           .arg(quoted(line))
                           .arg(width));
        // A line is broken after its last blank, or cut at the width when it has none.
        if (i + 1 < lines.size())
            require(line.endsWith(u' ') || (line.size() == width && !line.contains(u' ')),
                    "a line was broken elsewhere than after a blank or at the width");
        else
            require(!line.isEmpty() || lines.size() == 1, "wrapping added an empty last line");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t mode = size > 0 ? data[0] : 0;
    const qsizetype width = 1 + (size > 1 ? data[1] : 95) % 128;
    const std::size_t skip = size < 2 ? size : 2;
    const QStringList sections = fuzz::sections(data + skip, size - skip);

    const auto language = Language(mode % 3);
    const auto source = Source(mode / 3 % 3);
    const QStringView suffix = lookupSuffix(language);
    require(!suffix.isEmpty(), "empty lookup suffix");

    checkWrap(sections.value(0), width);

    std::optional<Reference> fuzzed;
    Reference& r =
        source == Source::Fuzzed ? fuzzed.emplace(sections.value(0)) : builtIn(source, language);
    TextPane& reference = r.pane;
    const QString& text = r.text;
    // Somewhere to start from that a lookup without a match must keep.
    reference.setSelection(text.size() / 2, 3);

    for (qsizetype i = 1; i < sections.size() && i <= MaxLookups; ++i) {
        const QString& name = sections[i];
        const qsizetype startBefore = reference.selectionStart();
        const qsizetype lengthBefore = reference.selectionLength();
        const auto at = std::u16string_view(r.folded).find(folded(name + suffix.toString()));
        const qsizetype expected = at == std::u16string_view::npos ? -1 : qsizetype(at);

        const bool found = selectSpellEntry(reference, name, language);

        const qsizetype start = reference.selectionStart();
        const qsizetype length = reference.selectionLength();
        require(reference.text() == text, "the lookup changed the reference text");
        require(start >= 0 && length >= 0 && start + length <= text.size(),
                "the selection left the text");
        if (found != (expected >= 0) || (found && (start != expected || length != name.size())) ||
            (!found && (start != startBefore || length != lengthBefore)))
            fuzz::fail(QStringLiteral("lookup of %1 with suffix %2: found %3, selection (%4, %5);"
                                      " expected the entry at %6\nreference %7")
                           .arg(quoted(name), quoted(suffix))
                           .arg(found)
                           .arg(start)
                           .arg(length)
                           .arg(expected)
                           .arg(quoted(text.left(2000))));
    }
    return 0;
}
