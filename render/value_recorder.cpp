// The value recorder of the scene context: a development instrument that logs
// one value per tenth of a second of demo time (the frame rate, as used).
#include "scene_context.hpp"

#include <cstddef>
#include <limits>

std::int32_t value_record_slot(double time, std::int32_t count) {
  // Times just below 0 would truncate onto record 0 and earlier ones before
  // the records; both are outside the recorder.
  if (!(time >= 0.0)) return -1;
  const double tenths = time * 10.0;
  if (!(tenths < static_cast<double>(count))) return -1;
  return static_cast<std::int32_t>(tenths);
}

void smooth_recorded_values(std::span<value_record> records) {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(records.size());
  for (std::ptrdiff_t i = 3; i <= n - 4; ++i) {
    // The mean of a forward and a backward window weighted 10, 6, 3, 2 (of 21),
    // written as the centre plus weighted differences so that a constant
    // series comes out exactly unchanged.
    const auto v = [&](std::ptrdiff_t k) { return records[static_cast<std::size_t>(k)].value; };
    const double centre = v(i);
    const auto pair = [&](std::ptrdiff_t k) { return (v(i + k) - centre) + (v(i - k) - centre); };
    records[static_cast<std::size_t>(i)].value =
        centre + (6.0 * pair(1) + 3.0 * pair(2) + 2.0 * pair(3)) / 42.0;
  }
}

std::int32_t scene_context::value_log_record_count() const {
  const double tenths = recorder_duration * 10.0;
  // A negative or unset duration records nothing.
  if (!(tenths >= 1.0)) return 0;
  constexpr double most = std::numeric_limits<std::int32_t>::max();
  return tenths >= most ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(tenths);
}

void scene_context::open_value_log(const char* path, const double* duration) {
  if (recorder_stream.is_open()) recorder_stream.close();
  recorder_stream.clear();
  recorder_stream.open(path, std::ios::out | std::ios::trunc);
  recorder_duration = *duration;
  const std::int32_t n = value_log_record_count();
  recorder_records = std::make_unique<value_record[]>(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) recorder_records[i] = {i / 10.0, 0.0, 0};
}

void scene_context::record_value(const double* value, const double* time, std::int32_t tag) {
  if (!recorder_records) return;
  const std::int32_t slot = value_record_slot(*time, value_log_record_count());
  if (slot < 0) return;
  recorder_records[slot] = {*time, *value, tag};
}

void scene_context::close_value_log() {
  // Teardown can run twice on the way out, and before the log was opened.
  if (!recorder_records) return;
  const std::int32_t n = value_log_record_count();
  recorder_stream << n << '\n';
  smooth_recorded_values({recorder_records.get(), static_cast<std::size_t>(n)});
  for (std::int32_t i = 0; i < n; ++i) {
    const value_record& r = recorder_records[i];
    recorder_stream << r.time << '\n' << r.value << '\n' << r.tag << '\n';
  }
  recorder_stream.close();
  recorder_records.reset();
}
