#include "cli/config_report.h"

#include <array>
#include <cstdio>
#include <vector>

#include "schema/field_access.h"
#include "schema/field_tables.h"
#include "schema/page_catalog.h"

namespace q51::cli {

namespace {

// Captions carry access-key ampersands; "&&" stands for a literal one.
std::string plain(const std::string &caption)
{
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    return out;
}

std::string hexByte(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

std::string pageCaption(const char *objectName)
{
    for (const ChildWindowInfo &info : ChildWindows) {
        if (std::string(info.objectName) == objectName)
            return info.caption;
    }
    return objectName;
}

struct DescribedField {
    std::string name; // "Page / Group / Caption"
    const FieldSpec *spec;
};

std::vector<DescribedField> describedFields()
{
    std::vector<DescribedField> fields;
    for (const PageFieldTable &table : AllPageFieldTables()) {
        const std::string page = pageCaption(table.page);
        for (const PanelSpec &panel : table.panels()) {
            std::string group = plain(panel.tabCaption.empty() ? panel.frameCaption : panel.tabCaption);
            for (const FieldSpec &field : panel.fields) {
                std::string name = page + " / " + group + " / ";
                if (!field.frame.empty())
                    name += plain(field.frame) + " / ";
                // A field alone in its frame may leave the caption to the frame.
                const std::string &caption = field.caption.empty() ? panel.frameCaption : field.caption;
                fields.push_back({name + plain(caption), &field});
            }
        }
    }
    return fields;
}

// What the page would show: the choice's caption, or the stored code no
// choice stands for.
std::string shownValue(const FieldSpec &field, const Configuration &config)
{
    if (const auto value = ReadField(field, config)) {
        if (const Choice *choice = FindChoice(field, *value))
            return plain(choice->caption);
    }
    return "Other (" + hexByte(StoredCode(field, config)) + ")";
}

std::string rawBits(const FieldSpec &field, const Block &block)
{
    std::string out;
    for (const TouchedBits &bits : FieldTouches(field)) {
        out += out.empty() ? "[" : ", ";
        out += "byte " + std::to_string(bits.byte) + " & " + hexByte(bits.mask) + " = " +
               hexByte(block[std::size_t(bits.byte)] & bits.mask);
    }
    return out + "]";
}

bool fieldDiffers(const FieldSpec &field, const Block &a, const Block &b)
{
    for (const TouchedBits &bits : FieldTouches(field)) {
        const auto i = std::size_t(bits.byte);
        if ((a[i] ^ b[i]) & bits.mask)
            return true;
    }
    return false;
}

Configuration holding(const Block &block)
{
    Configuration config;
    config.block = block;
    return config;
}

// Bits of each byte that some field of some page describes.
std::array<int, BlockSize> describedBits(const std::vector<DescribedField> &fields)
{
    std::array<int, BlockSize> mask{};
    for (const DescribedField &field : fields) {
        for (const TouchedBits &bits : FieldTouches(*field.spec))
            mask[std::size_t(bits.byte)] |= bits.mask;
    }
    return mask;
}

const char *OtherBytesHeading = "Bytes the page tables do not describe:\n";

std::string byteName(int index, int undescribed)
{
    std::string name = "Byte " + std::to_string(index);
    if (undescribed != 0xFF)
        name += " bits " + hexByte(undescribed);
    return name;
}

} // namespace

std::string ReportConfiguration(const Block &block)
{
    const auto fields = describedFields();
    const Configuration config = holding(block);
    std::string out;
    for (const DescribedField &field : fields)
        out += field.name + ": " + shownValue(*field.spec, config) + "  " + rawBits(*field.spec, block) + "\n";

    out += OtherBytesHeading;
    const auto described = describedBits(fields);
    // Wholly undescribed bytes in rows of up to 16; partly described ones on
    // their own line with the bits that are left.
    std::string row;
    int rowStart = -1;
    int rowCount = 0;
    auto flush = [&] {
        if (rowCount == 0)
            return;
        out += rowCount == 1 ? "Byte " + std::to_string(rowStart) + ":"
                             : "Bytes " + std::to_string(rowStart) + "-" + std::to_string(rowStart + rowCount - 1) + ":";
        out += row + "\n";
        row.clear();
        rowCount = 0;
    };
    for (int i = 0; i < BlockSize; ++i) {
        const int undescribed = ~described[std::size_t(i)] & 0xFF;
        if (undescribed == 0xFF) {
            if (rowCount == 0)
                rowStart = i;
            char cell[4];
            std::snprintf(cell, sizeof cell, " %02X", block[std::size_t(i)]);
            row += cell;
            if (++rowCount == 16)
                flush();
            continue;
        }
        flush();
        if (undescribed != 0)
            out += byteName(i, undescribed) + ": " + hexByte(block[std::size_t(i)] & undescribed) + "\n";
    }
    flush();
    return out;
}

std::string DiffConfigurations(const Block &before, const Block &after)
{
    const auto fields = describedFields();
    const Configuration a = holding(before);
    const Configuration b = holding(after);
    std::string out;
    for (const DescribedField &field : fields) {
        if (!fieldDiffers(*field.spec, before, after))
            continue;
        std::string from = shownValue(*field.spec, a);
        std::string to = shownValue(*field.spec, b);
        if (from == to) { // e.g. two stored codes shown as the same choice
            from += " " + rawBits(*field.spec, before);
            to += " " + rawBits(*field.spec, after);
        }
        out += field.name + ": " + from + " -> " + to + "\n";
    }

    const auto described = describedBits(fields);
    std::string other;
    for (int i = 0; i < BlockSize; ++i) {
        const int undescribed = ~described[std::size_t(i)] & 0xFF;
        const auto k = std::size_t(i);
        if ((before[k] ^ after[k]) & undescribed)
            other += byteName(i, undescribed) + ": " + hexByte(before[k] & undescribed) + " -> " +
                     hexByte(after[k] & undescribed) + "\n";
    }
    if (!other.empty())
        out += OtherBytesHeading + other;
    return out;
}

} // namespace q51::cli
