#include "schema/config_report.h"

#include "schema/caption_text.h"
#include "schema/setting_catalog.h"
#include "schema/setting_values.h"

namespace q51 {

namespace {

std::string hexRun(const Block &block, int first, int last)
{
    std::string out;
    for (int i = first; i <= last; ++i)
        out += (out.empty() ? "" : " ") + HexByte(block[std::size_t(i)]);
    return out;
}

bool wholeConsecutiveBytes(const std::vector<TouchedBits> &touches)
{
    for (std::size_t i = 0; i < touches.size(); ++i) {
        if (touches[i].mask != 0xFF || touches[i].byte != touches.front().byte + int(i))
            return false;
    }
    return touches.size() > 2;
}

// "byte 26 & 0xE0 = 0x80, byte 23 & 0x80 = 0x00"; "bytes 114-121 = ..." for a run.
std::string bitsText(const Setting &setting, const Block &block)
{
    const auto touches = SettingTouches(setting);
    if (touches.empty())
        return {};
    if (wholeConsecutiveBytes(touches)) {
        const int first = touches.front().byte;
        const int last = touches.back().byte;
        return "bytes " + std::to_string(first) + "-" + std::to_string(last) + " = " + hexRun(block, first, last);
    }
    std::string out;
    for (const TouchedBits &bits : touches) {
        out += out.empty() ? "" : ", ";
        out += "byte " + std::to_string(bits.byte);
        if (bits.mask != 0xFF)
            out += " & " + HexByte(bits.mask);
        out += " = " + HexByte(block[std::size_t(bits.byte)] & bits.mask);
    }
    return out;
}

bool inScope(const Setting &setting, DiffScope scope)
{
    if (setting.role == SettingRole::Header)
        return scope.header;
    if (setting.role == SettingRole::Derived)
        return scope.derivedBytes;
    return true;
}

} // namespace

std::vector<ReportLine> ReportLines(const Configuration &config, bool withHeader)
{
    std::vector<ReportLine> lines;
    for (const Setting &setting : AllSettings()) {
        if (setting.role == SettingRole::Header && !withHeader)
            continue;
        lines.push_back({setting.key, setting.page, setting.panel, setting.caption,
                         SettingValue(setting, config, ValueForm::Shown), bitsText(setting, config.block)});
    }
    return lines;
}

std::string ReportConfiguration(const Configuration &config, bool withHeader)
{
    std::string out;
    for (const ReportLine &line : ReportLines(config, withHeader)) {
        out += line.page + " / " + line.panel + " / " + line.caption + ": " + line.value;
        if (!line.bits.empty())
            out += "  [" + line.bits + "]";
        out += "\n";
    }
    return out;
}

std::vector<DiffLine> DiffLines(const Configuration &before, const Configuration &after, DiffScope scope)
{
    std::vector<DiffLine> block;
    std::vector<DiffLine> header;
    for (const Setting &setting : AllSettings()) {
        if (!inScope(setting, scope) || !SettingDiffers(setting, before, after))
            continue;
        std::string from = SettingValue(setting, before, ValueForm::Shown);
        std::string to = SettingValue(setting, after, ValueForm::Shown);
        if (from == to) { // two stored codes the page shows as the same choice
            from += " [" + bitsText(setting, before.block) + "]";
            to += " [" + bitsText(setting, after.block) + "]";
        }
        const bool isHeader = setting.role == SettingRole::Header;
        (isHeader ? header : block).push_back({setting.key, setting.Name(), from, to, isHeader});
    }
    block.insert(block.end(), header.begin(), header.end());
    return block;
}

std::string DiffConfigurations(const Configuration &before, const Configuration &after, DiffScope scope)
{
    std::string out;
    bool headerShown = false;
    for (const DiffLine &line : DiffLines(before, after, scope)) {
        if (line.header && !headerShown) {
            out += HeaderDiffHeading;
            headerShown = true;
        }
        out += line.name + ": " + line.from + " -> " + line.to + "\n";
    }
    return out;
}

} // namespace q51
