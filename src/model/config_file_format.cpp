#include "model/config_file_format.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>

#include "model/windows1252.h"

namespace q51 {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view Blanks = " \t";

// Numbers carry a sign position: a blank for positive values, so they read
// " 65 "; a negative value's minus sign takes that place.
void appendNumberLine(std::string &out, int value)
{
    if (value >= 0)
        out += ' ';
    out += std::to_string(value);
    out += ' ';
    out += LineEnd;
}

// Any CR, LF or CR LF in a header string would split the line and shift
// every later value, so each becomes one blank.
void appendHeaderLine(std::string &out, const std::string &utf8)
{
    const std::string text = Utf8ToWindows1252(utf8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += ' ';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    out += LineEnd;
}

// Hands out the lines of a file one by one. CR LF, lone LF and lone CR all
// end a line; text after the last line end still counts as a line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest_(text) {}

    std::optional<std::string_view> next()
    {
        if (rest_.empty())
            return std::nullopt;
        const std::size_t end = rest_.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            const std::string_view line = rest_;
            rest_ = {};
            return line;
        }
        const std::string_view line = rest_.substr(0, end);
        const bool crlf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
        rest_.remove_prefix(end + (crlf ? 2 : 1));
        return line;
    }

private:
    std::string_view rest_;
};

std::string_view trimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(Blanks);
    return text.substr(first, last - first + 1);
}

// A decimal number with an optional sign, blanks around it allowed. Anything
// else, or a value outside [min, max], gives nothing.
std::optional<long long> parseNumber(std::string_view line, long long min, long long max)
{
    std::string_view text = trimBlanks(line);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    unsigned long long magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt; // not a number, or too long for any target
    if (magnitude > static_cast<unsigned long long>(std::numeric_limits<long long>::max()))
        return std::nullopt;
    const long long value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

// Lines in file order, each read into its target, with what had to be
// skipped written down instead of lost.
class ValueReader {
public:
    ValueReader(LineReader &lines, std::vector<SkippedLine> *skipped) : lines_(lines), skipped_(skipped) {}

    template <typename Target>
    void number(Target &target)
    {
        const auto line = take();
        if (!line)
            return;
        constexpr long long min = std::numeric_limits<Target>::min();
        constexpr long long max = std::numeric_limits<Target>::max();
        if (const auto value = parseNumber(*line, min, max))
            target = static_cast<Target>(*value);
        else
            skip(isDecimal(*line) ? SkippedLine::Reason::OutOfRange : SkippedLine::Reason::NotANumber, *line);
    }

    void header(std::string &target)
    {
        const auto line = take();
        if (!line)
            return;
        const std::size_t first = line->find_first_not_of(Blanks);
        target = Windows1252ToUtf8(first == std::string_view::npos ? std::string_view{} : line->substr(first));
    }

private:
    std::optional<std::string_view> take()
    {
        ++lineNumber_;
        auto line = lines_.next();
        if (!line)
            skip(SkippedLine::Reason::Missing, {});
        return line;
    }

    // A signed run of digits that did not fit is a number out of range,
    // however long it is.
    static bool isDecimal(std::string_view line)
    {
        std::string_view text = trimBlanks(line);
        if (!text.empty() && (text.front() == '+' || text.front() == '-'))
            text.remove_prefix(1);
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    }

    void skip(SkippedLine::Reason reason, std::string_view text)
    {
        if (skipped_)
            skipped_->push_back({lineNumber_, reason, std::string(text.substr(0, MaxKeptText))});
    }

    static constexpr std::size_t MaxKeptText = 80; // a runaway line is named, not copied whole
    LineReader &lines_;
    std::vector<SkippedLine> *skipped_;
    int lineNumber_ = 1; // line 1, the magic, is read before
};

} // namespace

std::string FormatConfigurationFile(const Configuration &config)
{
    std::string out;
    out.reserve(2048);
    out += ConfigurationFileMagic;
    out += LineEnd;
    for (const std::string *header : {&config.DeviceName, &config.UserName, &config.BuildingDate, &config.Description})
        appendHeaderLine(out, *header);
    appendNumberLine(out, config.PortNumber);
    appendNumberLine(out, config.TransferMode);
    for (const std::uint8_t byte : config.block)
        appendNumberLine(out, byte);
    return out;
}

bool ParseConfigurationFile(std::string_view bytes, Configuration &config, std::vector<SkippedLine> *skipped)
{
    LineReader lines(bytes);
    if (lines.next() != ConfigurationFileMagic)
        return false;
    if (skipped)
        skipped->clear();

    ValueReader values(lines, skipped);
    for (std::string *header : {&config.DeviceName, &config.UserName, &config.BuildingDate, &config.Description})
        values.header(*header);
    values.number(config.PortNumber);
    values.number(config.TransferMode);
    // The saved copy follows the block byte by byte, so after an open the
    // configuration counts as unchanged even where the file fell short.
    for (std::size_t i = 0; i < config.block.size(); ++i) {
        values.number(config.block[i]);
        config.savedCopy[i] = config.block[i];
    }
    config.TakeSavedHeader();
    return true;
}

} // namespace q51
