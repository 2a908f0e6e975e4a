#pragma once
// The rows of an opening-stock file as batches: each field read, each faulty row told why.
#include "import_batch.h"
#include "import_file.h"

#include <optional>

// One batch per row that is not blank, in file order; a row's first fault in its `fault`.
// nullopt with `refusal` set when the file lacks a required column.
std::optional<CImportBatches> ParseBatches(const CImportTable& table, QString* refusal);
