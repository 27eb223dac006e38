// Writes a test .xlsx with libxlsxwriter from the cell list that write_workbook.pl
// reads (see there). Usage: write_xlsx [--constant-memory] CELLS OUT. In
// constant-memory mode libxlsxwriter writes inline strings, rows in order.
#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string unescape(const std::string &text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> split(const std::string &line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

} // namespace

int main(int argc, char **argv) {
    const bool constantMemory = argc == 4 && std::strcmp(argv[1], "--constant-memory") == 0;
    if (argc != 3 && !constantMemory) {
        std::fprintf(stderr, "usage: write_xlsx [--constant-memory] CELLS OUT\n");
        return 2;
    }
    std::ifstream in(argv[argc - 2]);
    lxw_workbook_options options = {};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook *workbook = workbook_new_opt(argv[argc - 1], &options);
    if (!workbook)
        return 1;
    lxw_format *dates = workbook_add_format(workbook);
    format_set_num_format(dates, "yyyy-mm-dd");
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_worksheet *sheet = nullptr;
    lxw_worksheet *first = nullptr;
    std::vector<std::string> charts;
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = split(line);
        if (f[0] == "date1904")
            continue; // not offered by this writer
        if (f[0] == "sheet") {
            const std::string name = unescape(f[1]);
            if (f[2] == "chart") {
                charts.push_back(name);
                continue;
            }
            sheet = workbook_add_worksheet(workbook, name.c_str());
            if (!first)
                first = sheet;
            if (f[2] == "hidden")
                worksheet_hide(sheet);
            continue;
        }
        const lxw_row_t row = std::strtoul(f[0].c_str(), nullptr, 10);
        const lxw_col_t col = std::strtoul(f[1].c_str(), nullptr, 10);
        const std::string &kind = f[2];
        const std::string value = f.size() > 3 ? unescape(f[3]) : "";
        const std::string extra = f.size() > 4 ? unescape(f[4]) : "";
        if (kind == "s") {
            worksheet_write_string(sheet, row, col, value.c_str(), nullptr);
        } else if (kind == "n") {
            worksheet_write_number(sheet, row, col, std::strtod(value.c_str(), nullptr), nullptr);
        } else if (kind == "date") {
            lxw_datetime when = {};
            std::sscanf(value.c_str(), "%d-%d-%d", &when.year, &when.month, &when.day);
            worksheet_write_datetime(sheet, row, col, &when, dates);
        } else if (kind == "b") {
            worksheet_write_boolean(sheet, row, col, value == "1", nullptr);
        } else if (kind == "f") {
            char *end = nullptr;
            const double number = std::strtod(extra.c_str(), &end);
            if (!extra.empty() && end && *end == '\0')
                worksheet_write_formula_num(sheet, row, col, value.c_str(), nullptr, number);
            else
                worksheet_write_formula_str(sheet, row, col, value.c_str(), nullptr, extra.c_str());
        } else if (kind == "rich") {
            lxw_rich_string_tuple boldRun = {bold, const_cast<char *>(value.c_str())};
            lxw_rich_string_tuple plainRun = {nullptr, const_cast<char *>(extra.c_str())};
            lxw_rich_string_tuple *runs[] = {&boldRun, &plainRun, nullptr};
            worksheet_write_rich_string(sheet, row, col, runs, nullptr);
        }
    }
    for (const std::string &name : charts) {
        lxw_chartsheet *chartsheet = workbook_add_chartsheet(workbook, name.c_str());
        lxw_chart *chart = workbook_add_chart(workbook, LXW_CHART_COLUMN);
        const std::string values = std::string("=") + first->name + "!$A$1:$A$2";
        chart_add_series(chart, nullptr, values.c_str());
        chartsheet_set_chart(chartsheet, chart);
    }
    return workbook_close(workbook) == LXW_NO_ERROR ? 0 : 1;
}
