#pragma once
// The SQL dialect layer in one include: translation of the system's SQL texts
// and Recordset filters for SQLite, the dialect's functions on a connection
// and the canonical stored form of dates.
//
//   translateJetSql(sql, ctx)          -> SQLite text         (JetSql.h)
//   translateFilter(filter[, isDate])  -> WHERE + parameters  (JetFilter.h)
//   registerJetFunctions(db, clock, locale)                   (JetFunctions.h)
//   canonicalDate / parseCanonicalDate / coerceDateText       (CanonicalDate.h)

#include "platform/dialect/CanonicalDate.h"
#include "platform/dialect/JetFilter.h"
#include "platform/dialect/JetFunctions.h"
#include "platform/dialect/JetSql.h"
