#include "platform/dialect/ServerFunctions.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

QStringList serverFunctionStatements() {
    return {
        // A canonical date text as a timestamp; NULL stays NULL.
        u"CREATE OR REPLACE FUNCTION jet_ts(t text) RETURNS timestamp LANGUAGE plpgsql "
        "IMMUTABLE AS $$ BEGIN "
        "IF t IS NULL THEN RETURN NULL; END IF; "
        "IF t !~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9]{2}:[0-9]{2}:[0-9]{2})?$' THEN "
        "RAISE EXCEPTION 'Data type mismatch in criteria expression.' USING ERRCODE = '22007'; "
        "END IF; RETURN t::timestamp; END $$"_s,
        // Boundaries of the interval crossed from a to b (dates only for days
        // and longer, so 23:59 to 00:00 of the next day is one day).
        u"CREATE OR REPLACE FUNCTION jet_datediff(iv text, a text, b text) RETURNS bigint "
        "LANGUAGE plpgsql IMMUTABLE AS $$ DECLARE x timestamp; y timestamp; BEGIN "
        "IF iv IS NULL THEN RETURN NULL; END IF; "
        "x := jet_ts(a); y := jet_ts(b); "
        "IF x IS NULL OR y IS NULL THEN RETURN NULL; END IF; "
        "CASE lower(iv) "
        "WHEN 'd', 'y' THEN RETURN y::date - x::date; "
        "WHEN 'yyyy' THEN RETURN extract(year FROM y) - extract(year FROM x); "
        "WHEN 'q' THEN RETURN (extract(year FROM y) * 4 + extract(quarter FROM y)) "
        "- (extract(year FROM x) * 4 + extract(quarter FROM x)); "
        "WHEN 'm' THEN RETURN (extract(year FROM y) * 12 + extract(month FROM y)) "
        "- (extract(year FROM x) * 12 + extract(month FROM x)); "
        "WHEN 'w' THEN RETURN trunc((y::date - x::date) / 7.0); "
        "WHEN 'ww' THEN RETURN ((y::date - extract(dow FROM y)::int) "
        "- (x::date - extract(dow FROM x)::int)) / 7; "
        "WHEN 'h' THEN RETURN extract(epoch FROM date_trunc('hour', y) - date_trunc('hour', x)) "
        "/ 3600; "
        "WHEN 'n' THEN RETURN extract(epoch FROM date_trunc('minute', y) "
        "- date_trunc('minute', x)) / 60; "
        "WHEN 's' THEN RETURN extract(epoch FROM y - x); "
        "ELSE RAISE EXCEPTION 'Invalid procedure call or argument.' USING ERRCODE = '22023'; "
        "END CASE; END $$"_s,
        u"CREATE OR REPLACE FUNCTION jet_year(t text) RETURNS integer LANGUAGE sql IMMUTABLE "
        "AS $$ SELECT extract(year FROM jet_ts(t))::integer $$"_s,
        u"CREATE OR REPLACE FUNCTION jet_month(t text) RETURNS integer LANGUAGE sql IMMUTABLE "
        "AS $$ SELECT extract(month FROM jet_ts(t))::integer $$"_s,
        u"CREATE OR REPLACE FUNCTION jet_day(t text) RETURNS integer LANGUAGE sql IMMUTABLE "
        "AS $$ SELECT extract(day FROM jet_ts(t))::integer $$"_s,
        // Month and day run over in both directions (month 13 is January of
        // the next year, day 0 the last day of the month before); years
        // 0..29 mean 2000..2029 and 30..99 mean 1930..1999; a result outside
        // the years 100..9999 is an invalid call.
        u"CREATE OR REPLACE FUNCTION jet_dateserial(y numeric, m numeric, d numeric) "
        "RETURNS text LANGUAGE plpgsql IMMUTABLE AS $$ "
        "DECLARE yy bigint; mm bigint; dd bigint; r date; BEGIN "
        "IF y IS NULL OR m IS NULL OR d IS NULL THEN RETURN NULL; END IF; "
        "IF abs(y) > 100000 OR abs(m) > 1200000 OR abs(d) > 40000000 THEN "
        "RAISE EXCEPTION 'Invalid procedure call or argument.' USING ERRCODE = '22023'; END IF; "
        "yy := round(y); mm := round(m); dd := round(d); "
        "IF yy BETWEEN 0 AND 29 THEN yy := yy + 2000; "
        "ELSIF yy BETWEEN 30 AND 99 THEN yy := yy + 1900; END IF; "
        "r := (make_date(2000, 1, 1) + make_interval(years => (yy - 2000)::int, "
        "months => (mm - 1)::int))::date + (dd - 1)::int; "
        "IF extract(year FROM r) < 100 OR extract(year FROM r) > 9999 THEN "
        "RAISE EXCEPTION 'Invalid procedure call or argument.' USING ERRCODE = '22023'; END IF; "
        "RETURN to_char(r, 'YYYY-MM-DD') || ' 00:00:00'; END $$"_s,
    };
}

}  // namespace orlo::data
