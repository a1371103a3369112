#include "outline_reader.hpp"

#include <cstring>

namespace {

class Cursor {
public:
    explicit Cursor(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    bool i32(std::int32_t& out) {
        std::uint64_t v;
        if (!take(4, v)) return false;
        out = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        return true;
    }
    bool i16(std::int16_t& out) {
        std::uint64_t v;
        if (!take(2, v)) return false;
        out = static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
        return true;
    }
    bool f64(double& out) {
        std::uint64_t v;
        if (!take(8, v)) return false;
        std::memcpy(&out, &v, 8);
        return true;
    }
    bool at_end() const { return pos_ == bytes_.size(); }

private:
    bool take(std::size_t n, std::uint64_t& out) {
        if (bytes_.size() - pos_ < n) return false;
        out = 0;
        for (std::size_t i = 0; i < n; ++i) out |= static_cast<std::uint64_t>(bytes_[pos_ + i]) << (8 * i);
        pos_ += n;
        return true;
    }
    const std::vector<std::uint8_t>& bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<ReadOutlineFile> read_outline_bytes(const std::vector<std::uint8_t>& bytes) {
    Cursor in(bytes);
    std::int32_t unused, figures;
    if (!in.i32(unused) || !in.i32(unused) || !in.i32(figures) || figures < 0) return std::nullopt;
    ReadOutlineFile file;
    for (std::int32_t f = 0; f < figures; ++f) {
        std::int32_t shapes;
        if (!in.i32(shapes) || shapes < 0) return std::nullopt;
        std::vector<ReadShape> figure;
        for (std::int32_t s = 0; s < shapes; ++s) {
            std::int32_t points;
            ReadShape shape;
            if (!in.i32(points) || points < 0 || !in.f64(shape.depth)) return std::nullopt;
            for (std::int32_t p = 0; p < points; ++p) {
                std::int16_t x, y;
                if (!in.i16(x) || !in.i16(y)) return std::nullopt;
                shape.xs.push_back(x);
                shape.ys.push_back(y);
            }
            figure.push_back(std::move(shape));
        }
        file.figures.push_back(std::move(figure));
    }
    if (!in.at_end()) return std::nullopt;
    return file;
}

std::vector<int> per_shape_list_point_counts(const ReadOutlineFile& file) {
    std::vector<int> lists;
    for (std::size_t i = 0; i < file.figures.size(); ++i) {
        for (std::size_t j = 0; j < file.figures[i].size(); ++j) {
            std::size_t id = i + j;
            if (lists.size() <= id) lists.resize(id + 1, -1);
            lists[id] = static_cast<int>(file.figures[i][j].xs.size());
        }
    }
    return lists;
}
