#include "pages/misc/single_byte_text.h"

#include "model/windows1252.h"

namespace q51 {

std::optional<std::string> ToSingleByte(const QString &text)
{
    std::string out;
    // toUcs4 turns a broken surrogate pair into U+FFFD, which has no code.
    for (const char32_t codePoint : text.toUcs4()) {
        if (codePoint == U'?') {
            out += '?';
            continue;
        }
        const std::string code = Utf8ToWindows1252(QString::fromUcs4(&codePoint, 1).toStdString());
        if (code.size() != 1 || code[0] == '?')
            return std::nullopt; // the code page's stand-in for "no such character"
        out += code[0];
    }
    return out;
}

QString FromSingleByte(std::string_view bytes)
{
    return QString::fromStdString(Windows1252ToUtf8(bytes));
}

SingleByteValidator::SingleByteValidator(Rule rule, QObject *parent) : QValidator(parent), rule_(rule) {}

QValidator::State SingleByteValidator::validate(QString &input, int &) const
{
    const auto bytes = ToSingleByte(input);
    if (!bytes || (rule_ && !rule_(*bytes)))
        return Invalid;
    return Acceptable;
}

} // namespace q51
