#pragma once
// An opening-stock file read as a table of texts: its header and its rows, each with the line a
// spreadsheet shows for it, whatever the file was (CSV in UTF-8 or GB18030, or XLSX).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct CImportRow {
    int line = 0;      // as a spreadsheet numbers it: the file's first row is 1
    QStringList cells; // trailing empty cells dropped
};

struct CImportTable {
    QStringList headers; // the first row that is not blank
    int headerLine = 0;
    std::vector<CImportRow> rows; // the rows after the header; blank ones left out
    QString readAs; // "GB18030 CSV，逗号分隔", "XLSX 第一个工作表“Sheet1”"
};

// By the file's extension: .csv or .txt as CSV, .xlsx as XLSX; anything else refused.
// nullopt with `failure` set when the file cannot be read.
std::optional<CImportTable> ReadImportFile(const QString& path, QString* failure);

// The encoding by its BOM, else strict UTF-8, else GB18030; separated by tabs when the header
// line has tabs and no commas outside quotes, else by commas.
std::optional<CImportTable> ReadCsv(const QByteArray& bytes, QString* failure);

// The first sheet in the workbook's order.
std::optional<CImportTable> ReadXlsx(const QString& path, QString* failure);
