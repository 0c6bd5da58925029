#include "passwords/PassCellRules.h"

#include "passwords/PassPageCells.h"
#include "platform/Cp1252.h"
#include "platform/Languages.h"

#include <algorithm>

using Languages::TextPair;

namespace {

bool isControl(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line
           || category == QChar::Separator_Paragraph;
}

// The character at index, both halves of a surrogate pair.
QString characterAt(QStringView text, qsizetype index)
{
    const bool pair = text[index].isHighSurrogate() && index + 1 < text.size();
    return text.mid(index, pair ? 2 : 1).toString();
}

} // namespace

namespace PassCellRules {

QString withoutControls(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        if (!isControl(c))
            kept.append(c);
    }
    return kept;
}

bool isTypedText(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

QString refusal(int column, QStringView text, int languageIndex)
{
    const PassCellProblem problem = passCellProblem(column, text);
    if (problem == PassCellProblem::NotInCodePage)
        return TextPair{u"Nicht übernommen: \u201e%1\u201c ist ein Zeichen, das Windows-1252, die "
                        u"Codepage der Kennwortseiten, nicht darstellen kann.",
                        u"Not entered: \u201c%1\u201d is a character that Windows-1252, the code "
                        u"page of the password pages, cannot represent."}
            .in(languageIndex)
            .arg(characterAt(text, Cp1252::firstUnencodable(text)));
    if (problem == PassCellProblem::TooLong)
        return TextPair{u"Nicht übernommen: %1.", u"Not entered: %1."}
            .in(languageIndex)
            .arg(passCellProblemText(column, problem, languageIndex));
    return {};
}

QString masked(QStringView text)
{
    return QString(text.size(), u'*');
}

} // namespace PassCellRules
