#include "shell/dev_instruments_asset_report.hpp"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <system_error>

#include "shell/demo.hpp"
#include "shell/dev_instruments.hpp"

std::ofstream g_asset_list_file;

namespace {

constexpr std::int32_t jpeg_kind = 0;
constexpr std::int32_t model_kind = 1;

// Byte-wise, so that of two names with the same beginning the shorter comes first.
bool name_before(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) {
                                            return static_cast<unsigned char>(x) <
                                                   static_cast<unsigned char>(y);
                                        });
}

// Exchanges names and kinds only; slots and sizes stay where they were.
void sort_names(std::vector<asset_record>& list) {
    for (std::size_t i = 1; i < list.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (name_before(list[i].name, list[j].name)) {
                std::swap(list[i].name, list[j].name);
                std::swap(list[i].kind, list[j].kind);
            }
        }
    }
}

bool named_before(const std::vector<asset_record>& list, std::size_t index) {
    for (std::size_t k = 0; k < index; ++k) {
        if (list[k].name == list[index].name) return true;
    }
    return false;
}

int list_and_copy_distinct(std::ostream& out, const std::vector<asset_record>& list,
                           std::int32_t kind, const std::string& copy_prefix) {
    int written = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].kind != kind || named_before(list, i)) continue;
        out << "Name  : " << list[i].name << std::endl;
        std::error_code ignored;
        std::filesystem::copy_file(list[i].name, copy_prefix + list[i].name,
                                   std::filesystem::copy_options::skip_existing, ignored);
        ++written;
    }
    return written;
}

}  // namespace

int write_asset_report(std::ostream& out, std::vector<asset_record>& list, double load_seconds,
                       const std::string& copy_prefix) {
    out << std::endl << "-- JPG LIST" << std::endl;
    for (const asset_record& r : list) {
        if (r.kind != jpeg_kind) continue;
        out << r.name << " (" << r.width << "," << r.height << ") @ " << r.slot << " position. "
            << std::endl;
    }
    out << "-- 3DS LIST" << std::endl;
    for (const asset_record& r : list) {
        if (r.kind != model_kind) continue;
        out << r.name << " " << r.slot << " position. " << std::endl;
    }
    out << "Total : " << list.size() << " files,  " << 0 << " bytes" << std::endl;
    out << "Loadtime :" << load_seconds << "\n";

    sort_names(list);
    out << "-- JPG Sorted" << std::endl;
    for (const asset_record& r : list) {
        if (r.kind == jpeg_kind) out << "Name  : " << r.name << std::endl;
    }
    out << "-- JPG LIST" << std::endl;
    int written = list_and_copy_distinct(out, list, jpeg_kind, copy_prefix);
    out << "-- 3DS LIST" << std::endl;
    written += list_and_copy_distinct(out, list, model_kind, copy_prefix);
    out << "Total sorted : " << written;
    return written;
}

void write_asset_report() {
    write_asset_report(g_asset_list_file, g_asset_list, g_load_seconds, k_asset_copy_prefix);
    g_asset_list_file.close();
}
