#pragma once
// SqlQuote: the one way a text becomes an SQL literal in the patient and
// appointment statements: wrapped in single quotes, every single quote
// inside doubled (O'Brien -> 'O''Brien', "" -> '').

#include <QString>

namespace orlo {

QString SqlQuote(const QString& text);

}  // namespace orlo
