// Columns, separators and rows of FRD-style text.
#include "analysis/FrdTable.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "analysis/MeasurementText.h"

namespace kvn::analysis {
namespace {

constexpr auto npos = std::string_view::npos;
constexpr double kHzPerKhz = 1000.0;

enum class Separator { Blanks, Tabs, Commas, Semicolons };
enum class CommaUse { None, Decimal, Thousands };

bool hasAny(const std::string& text, std::initializer_list<std::string_view> parts) {
    return std::any_of(parts.begin(), parts.end(),
                       [&](std::string_view part) { return text.find(part) != npos; });
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The fields of a line: with `mark` ',', ';' or '\t' every mark ends a field (fields may be
// empty); with ' ' runs of blanks and tabs separate.
std::vector<std::string_view> splitFields(std::string_view line, char mark) {
    std::vector<std::string_view> fields;
    line = trimBlanks(line);
    if (mark != ' ') {
        std::size_t start = 0;
        while (true) {
            const std::size_t end = line.find(mark, start);
            fields.push_back(trimBlanks(line.substr(start, end == npos ? npos : end - start)));
            if (end == npos) {
                return fields;
            }
            start = end + 1;
        }
    }
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t start = pos;
        while (pos < line.size() && !isBlank(line[pos])) {
            ++pos;
        }
        fields.push_back(line.substr(start, pos - start));
        while (pos < line.size() && isBlank(line[pos])) {
            ++pos;
        }
    }
    return fields;
}

struct FileRows {
    std::vector<std::size_t> rows;  // the indices of the lines that hold data
    Separator separator = Separator::Blanks;
};

FileRows fileRows(std::span<const std::string_view> lines) {
    FileRows f;
    bool semicolons = false;
    bool commas = false;
    bool tabs = false;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (isFrdSkippedLine(lines[n])) {
            continue;
        }
        f.rows.push_back(n);
        const std::string_view t = trimBlanks(lines[n]);
        semicolons = semicolons || t.find(';') != npos;
        tabs = tabs || t.find('\t') != npos;
        if (t.find(',') != npos) {
            const bool nextToBlank = t.find(", ") != npos || t.find(" ,") != npos ||
                                     t.find(",\t") != npos || t.find("\t,") != npos;
            commas = commas || nextToBlank || t.find_first_of(" \t") == npos;
        }
    }
    f.separator = semicolons ? Separator::Semicolons
                  : commas   ? Separator::Commas
                  : tabs     ? Separator::Tabs
                             : Separator::Blanks;
    return f;
}

char fieldMark(Separator separator, bool headerTabs) {
    switch (separator) {
        case Separator::Commas:
            return ',';
        case Separator::Semicolons:
            return ';';
        case Separator::Tabs:
            return headerTabs ? '\t' : ' ';
        case Separator::Blanks:
            break;
    }
    return ' ';
}

std::optional<FrdHeader> headerOf(std::span<const std::string_view> lines, const FileRows& f) {
    if (f.rows.empty()) {
        return std::nullopt;
    }
    std::size_t n = f.rows.front();
    while (n > 0 && isBlankLine(lines[n - 1])) {
        --n;
    }
    if (n == 0) {
        return std::nullopt;
    }
    std::string_view text = trimBlanks(lines[n - 1]);
    bool marked = false;
    while (!text.empty() && (text.front() == '*' || text.front() == '#' || text.front() == ';')) {
        text.remove_prefix(1);
        marked = true;
    }
    text = trimBlanks(text);
    const char mark = text.find('\t') != npos  ? '\t'
                      : text.find(';') != npos ? ';'
                      : text.find(',') != npos ? ','
                                               : ' ';
    FrdHeader header;
    header.line = n - 1;
    header.tabs = mark == '\t';
    bool frequency = false;
    bool other = false;
    for (std::string_view name : splitFields(text, mark)) {
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            name = trimBlanks(name.substr(1, name.size() - 2));
        }
        if (parseDecimal(name)) {
            return std::nullopt;
        }
        const ColumnRole role = columnRole(name);
        frequency = frequency || role == ColumnRole::Frequency;
        other = other || (role != ColumnRole::Other && role != ColumnRole::Frequency);
        header.names.emplace_back(name);
    }
    if (header.names.size() < 2 || !frequency) {
        return std::nullopt;
    }
    if (!other && (marked || columnRole(header.names.front()) != ColumnRole::Frequency)) {
        return std::nullopt;
    }
    // Names split at blanks line up with the data only when there are as many.
    if (mark == ' ' &&
        header.names.size() !=
            splitFields(lines[f.rows.front()], fieldMark(f.separator, false)).size()) {
        return std::nullopt;
    }
    return header;
}

// The columns a file is read from (0-based).
struct Columns {
    std::size_t frequency = 0;
    std::size_t magnitude = 1;
    std::optional<std::size_t> phase = 2;
    bool phaseOptional = true;  // a row without the phase field reads phase 0
    bool radians = false;
    bool kilohertz = false;
};

std::optional<std::size_t> positionOf(std::string_view column) {
    if (column.empty() || column.size() > 4 ||
        !std::all_of(column.begin(), column.end(), isDigit)) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (const char c : column) {
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return value;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

std::string impedanceRefusal(std::string_view path, const FrdHeader& header, std::size_t column) {
    return lineMessage(path, header.line,
                       "names an impedance column (" + header.names[column] +
                           "); the file holds impedance, not a frequency response.");
}

// The columns of a headerless file: frequency, magnitude (or the position `column` names), phase.
std::string plainColumns(std::string_view path, std::string_view column, std::size_t fields,
                         bool strict, Columns& c, std::vector<std::string>& notes) {
    if (strict) {
        // Every row has its fields in place: a phase column exists when the first row has one.
        c.phaseOptional = false;
        if (fields < 3) {
            c.phase.reset();
        }
    }
    if (column.empty()) {
        return {};
    }
    const std::optional<std::size_t> position = positionOf(column);
    if (!position) {
        return std::string(path) +
               " has no header line naming its columns: choose the magnitude column by its "
               "number.";
    }
    if (*position == 0 || *position > fields) {
        return std::string(path) + " has no column " + std::string(column) +
               ": its first row holds " + std::to_string(fields) + " fields.";
    }
    if (*position == 1) {
        return std::string(path) + ": column 1 holds the frequency, not a magnitude.";
    }
    c.magnitude = *position - 1;
    if (c.magnitude != 1) {
        c.phase.reset();
        notes.push_back("columns read: frequency column 1, magnitude column " +
                        std::string(column) + ", no phase");
    }
    return {};
}

// The columns a header names, with the magnitude column `column` chooses.
std::string headerColumns(std::string_view path, const FrdHeader& header, std::string_view column,
                          Columns& c, std::vector<std::string>& notes) {
    const std::size_t count = header.names.size();
    std::vector<ColumnRole> roles;
    std::vector<std::string> magnitudes;
    for (const std::string& name : header.names) {
        roles.push_back(columnRole(name));
        if (roles.back() == ColumnRole::Magnitude) {
            magnitudes.push_back(name);
        }
    }
    c.frequency = static_cast<std::size_t>(
        std::find(roles.begin(), roles.end(), ColumnRole::Frequency) - roles.begin());
    c.phaseOptional = false;
    if (!column.empty()) {
        std::optional<std::size_t> position = positionOf(column);
        if (position && (*position == 0 || *position > count)) {
            return lineMessage(path, header.line,
                               "names " + std::to_string(count) + " columns: there is no column " +
                                   std::string(column) + ".");
        }
        if (position) {
            c.magnitude = *position - 1;
        } else {
            const std::string wanted = lowered(trimBlanks(column));
            const auto it =
                std::find_if(header.names.begin(), header.names.end(),
                             [&](const std::string& n) { return lowered(n) == wanted; });
            if (it == header.names.end()) {
                return lineMessage(path, header.line,
                                   "names no column " + std::string(column) +
                                       " (its magnitude columns: " + joined(magnitudes) + ").");
            }
            c.magnitude = static_cast<std::size_t>(it - header.names.begin());
        }
        const ColumnRole role = roles[c.magnitude];
        if (role == ColumnRole::Impedance) {
            return impedanceRefusal(path, header, c.magnitude);
        }
        if (role == ColumnRole::Frequency || role == ColumnRole::Phase) {
            return lineMessage(path, header.line,
                               "names column " + std::to_string(c.magnitude + 1) + " " +
                                   header.names[c.magnitude] + ": it holds the " +
                                   (role == ColumnRole::Phase ? "phase" : "frequency") +
                                   ", not a magnitude.");
        }
    } else if (magnitudes.empty()) {
        const auto impedance = std::find(roles.begin(), roles.end(), ColumnRole::Impedance);
        if (impedance != roles.end()) {
            return impedanceRefusal(path, header,
                                    static_cast<std::size_t>(impedance - roles.begin()));
        }
        return lineMessage(path, header.line,
                           "names no magnitude column (a name with dB, SPL, magnitude or "
                           "level).");
    } else {
        c.magnitude = static_cast<std::size_t>(
            std::find(roles.begin(), roles.end(), ColumnRole::Magnitude) - roles.begin());
    }

    // The phase beside the magnitude; the only magnitude column also owns a phase elsewhere.
    c.phase.reset();
    if (c.magnitude + 1 < count && roles[c.magnitude + 1] == ColumnRole::Phase) {
        c.phase = c.magnitude + 1;
    } else if (magnitudes.size() == 1 && roles[c.magnitude] == ColumnRole::Magnitude) {
        const auto phase = std::find(roles.begin(), roles.end(), ColumnRole::Phase);
        if (phase != roles.end()) {
            c.phase = static_cast<std::size_t>(phase - roles.begin());
        }
    }
    if (c.phase) {
        const std::string name = lowered(header.names[*c.phase]);
        c.radians = name.find("rad") != npos && name.find("deg") == npos;
    }
    c.kilohertz = lowered(header.names[c.frequency]).find("khz") != npos;

    const bool plain = c.frequency == 0 && c.magnitude == 1 &&
                       (c.phase ? *c.phase == 2 : count < 3) && !c.radians && !c.kilohertz &&
                       magnitudes.size() <= 1;
    if (!plain) {
        std::string note = "columns read: frequency " + header.names[c.frequency] +
                           (c.kilohertz ? " (kHz)" : "") + ", magnitude " +
                           header.names[c.magnitude];
        if (magnitudes.size() > 1) {
            note += " (of " + joined(magnitudes) + ")";
        }
        note += c.phase ? ", phase " + header.names[*c.phase] +
                              (c.radians ? " in radians" : " in degrees")
                        : ", no phase";
        notes.push_back(std::move(note));
    }
    return {};
}

// A number with thousands separators: 1 to 3 digits (after a sign), then groups ",ddd".
bool groupsOfThree(std::string_view s) {
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        s.remove_prefix(1);
    }
    const std::size_t first = s.find(',');
    if (first == 0 || first > 3 || first == npos ||
        !std::all_of(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(first), isDigit)) {
        return false;
    }
    const std::string_view rest = s.substr(first);
    if (rest.size() % 4 != 0) {
        return false;
    }
    for (std::size_t i = 0; i < rest.size(); i += 4) {
        if (rest[i] != ',' || !isDigit(rest[i + 1]) || !isDigit(rest[i + 2]) ||
            !isDigit(rest[i + 3])) {
            return false;
        }
    }
    return true;
}

// What one field says of the file's commas.
enum class Evidence { None, Point, DecimalComma, Grouped };

Evidence evidenceOf(std::string_view field, bool level) {
    const std::size_t comma = field.find(',');
    const std::size_t point = field.find('.');
    if (comma == npos) {
        return point == npos ? Evidence::None : Evidence::Point;
    }
    if (point != npos) {
        // 1,000.49: grouped digits before a decimal point.
        return point > field.rfind(',') && groupsOfThree(field.substr(0, point))
                   ? Evidence::Point
                   : Evidence::DecimalComma;
    }
    // No level reaches a thousand dB: a comma in a level is a decimal comma.
    return !level && groupsOfThree(field) ? Evidence::Grouped : Evidence::DecimalComma;
}

struct CommaDecision {
    CommaUse use = CommaUse::None;
    std::string refusal;
};

CommaDecision decideCommas(std::span<const std::string_view> lines, const FileRows& f, char mark,
                           const Columns& c, std::string_view path) {
    CommaDecision d;
    if (f.separator == Separator::Commas) {
        return d;
    }
    std::optional<std::size_t> pointLine;
    std::optional<std::size_t> decimalLine;
    bool commas = false;
    for (const std::size_t n : f.rows) {
        const std::vector<std::string_view> fields = splitFields(lines[n], mark);
        for (const std::optional<std::size_t> column :
             {std::optional<std::size_t>(c.frequency), std::optional<std::size_t>(c.magnitude),
              c.phase}) {
            if (!column || *column >= fields.size()) {
                continue;
            }
            const std::string_view field = fields[*column];
            commas = commas || field.find(',') != npos;
            switch (evidenceOf(field, *column == c.magnitude)) {
                case Evidence::Point:
                    pointLine = pointLine.value_or(n);
                    break;
                case Evidence::DecimalComma:
                    decimalLine = decimalLine.value_or(n);
                    break;
                case Evidence::None:
                case Evidence::Grouped:
                    break;
            }
        }
        if (pointLine && decimalLine) {
            d.refusal =
                *decimalLine > *pointLine
                    ? lineMessage(path, *decimalLine,
                                  "writes a decimal comma where line " +
                                      std::to_string(*pointLine + 1) + " writes a decimal point.")
                    : lineMessage(path, *pointLine,
                                  "writes a decimal point where line " +
                                      std::to_string(*decimalLine + 1) +
                                      " writes a decimal comma.");
            return d;
        }
    }
    d.use = decimalLine ? CommaUse::Decimal : commas ? CommaUse::Thousands : CommaUse::None;
    return d;
}

enum class Field { Value, Missing, NotANumber };

Field readField(const std::vector<std::string_view>& fields, std::size_t column, CommaUse use,
                double& value) {
    if (column >= fields.size() || fields[column].empty()) {
        return Field::Missing;
    }
    std::string text(fields[column]);
    if (use == CommaUse::Thousands) {
        std::erase(text, ',');
    }
    const std::optional<double> v = parseDecimal(text);
    if (!v) {
        return Field::NotANumber;
    }
    value = *v;
    return Field::Value;
}

}  // namespace

ColumnRole columnRole(std::string_view name) {
    const std::string s = lowered(name);
    if (hasAny(s, {"ohm", "imped", "\xCE\xA9"})) {
        return ColumnRole::Impedance;
    }
    if (hasAny(s, {"phase", "deg", "rad"})) {
        return ColumnRole::Phase;
    }
    if (hasAny(s, {"freq", "hz"})) {
        return ColumnRole::Frequency;
    }
    if (hasAny(s, {"db", "spl", "mag", "level"})) {
        return ColumnRole::Magnitude;
    }
    return ColumnRole::Other;
}

std::optional<FrdHeader> frdHeader(std::span<const std::string_view> lines) {
    return headerOf(lines, fileRows(lines));
}

std::vector<std::string> frdMagnitudeColumns(std::span<const std::string_view> lines) {
    std::vector<std::string> names;
    if (const std::optional<FrdHeader> header = frdHeader(lines)) {
        std::copy_if(header->names.begin(), header->names.end(), std::back_inserter(names),
                     [](const std::string& n) { return columnRole(n) == ColumnRole::Magnitude; });
    }
    return names;
}

FrdReading readFrdText(std::span<const std::string_view> lines, std::string_view path,
                       std::string_view column) {
    FrdReading r(path);
    const FileRows f = fileRows(lines);
    const std::optional<FrdHeader> header = headerOf(lines, f);
    const char mark = fieldMark(f.separator, header && header->tabs);
    const bool strict = mark != ' ';

    Columns c;
    const std::size_t firstFields =
        f.rows.empty() ? 0 : splitFields(lines[f.rows.front()], mark).size();
    r.refusal = header ? headerColumns(path, *header, column, c, r.notes)
                       : plainColumns(path, column, firstFields, strict, c, r.notes);
    if (!r.refusal.empty()) {
        return r;
    }
    r.phaseInDegrees = !c.radians;
    const CommaDecision commas = decideCommas(lines, f, mark, c, path);
    if (!commas.refusal.empty()) {
        r.refusal = commas.refusal;
        return r;
    }

    std::size_t skipped = 0;
    for (const std::size_t n : f.rows) {
        const std::vector<std::string_view> fields = splitFields(lines[n], mark);
        double hz = 0.0;
        double db = 0.0;
        double phase = 0.0;
        const Field fh = readField(fields, c.frequency, commas.use, hz);
        const Field fm = readField(fields, c.magnitude, commas.use, db);
        const Field fp = c.phase ? readField(fields, *c.phase, commas.use, phase) : Field::Value;
        const bool notANumber =
            fh == Field::NotANumber || fm == Field::NotANumber || fp == Field::NotANumber;
        // Between blanks a missing frequency or level cannot be told from a damaged line; a
        // missing phase at the end can.
        const bool missing = fh == Field::Missing || fm == Field::Missing;
        if (notANumber || (missing && !strict)) {
            r.refusal = lineMessage(path, n, "is not a line of numbers.");
            return r;
        }
        if (missing || (fp == Field::Missing && !c.phaseOptional)) {
            ++skipped;
            continue;
        }
        if (fp == Field::Missing) {
            phase = 0.0;
        }
        if (c.kilohertz) {
            hz *= kHzPerKhz;
        }
        if (std::optional<std::string> refusal = r.points.add(hz, db, phase, n)) {
            r.refusal = std::move(*refusal);
            return r;
        }
    }
    if (commas.use == CommaUse::Thousands) {
        r.notes.emplace_back("commas in numbers read as thousands separators (1,000.5 = 1000.5)");
    } else if (commas.use == CommaUse::Decimal) {
        r.notes.emplace_back("commas in numbers read as decimal commas (20,5 = 20.5)");
    }
    if (skipped > 0) {
        r.notes.push_back(std::to_string(skipped) + (skipped == 1 ? " row" : " rows") +
                          " without a value skipped");
    }
    return r;
}

}  // namespace kvn::analysis
