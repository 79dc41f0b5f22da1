#pragma once
// The boxes of the Miscellaneous page store single-byte (Windows-1252)
// codes. These turn what the user sees into those codes and back, and
// refuse input the codes cannot carry.

#include <QValidator>
#include <optional>
#include <string>
#include <string_view>

namespace q51 {

// The single-byte form of a text, or nothing when some character has no
// single-byte code.
std::optional<std::string> ToSingleByte(const QString &text);
// Every byte has a character.
QString FromSingleByte(std::string_view bytes);

// Refuses an edit that would leave a character the box cannot store: one
// with no single-byte code, or one the given rule rejects. The box keeps
// the text it had, so nothing unstorable ever reaches the block.
class SingleByteValidator final : public QValidator {
    Q_OBJECT
public:
    using Rule = bool (*)(std::string_view singleByteText);
    explicit SingleByteValidator(Rule rule, QObject *parent);
    State validate(QString &input, int &pos) const override;

private:
    Rule rule_;
};

} // namespace q51
