#pragma once

#include "tables/clientdataset.h"

#include <QString>
#include <map>

// The rows of a table as printed: ID (the first field when there is no ID) ->
// field -> value (the first row of an ID).
using Linhas = std::map<QString, std::map<QString, nq::Value>>;
Linhas fotoDaTabela(const nq::ClientDataSet& t);
