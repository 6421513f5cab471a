#pragma once
// What a connection needs from the workstation: the clock that "Now" reads
// and the regional settings that date texts are read and shown in. Both are
// owned by the caller and must outlive every connection made with them.

namespace orlo {
class Clock;
class Locale;
}  // namespace orlo

namespace orlo::data {

struct DataContext {
    const Clock& clock;
    const Locale& locale;
};

}  // namespace orlo::data
