#pragma once

#include "platform/CsvText.h"

#include <QString>

// The chosen file name with its extension replaced by ".csv", or ".csv" added when it has none.
QString csvPathFor(const QString &chosen);
