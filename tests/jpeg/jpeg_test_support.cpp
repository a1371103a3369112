#include "jpeg_test_support.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>
#include <sys/stat.h>

#include <jpeglib.h>

#include "jpeg_memory_stream.h"

namespace jt {

namespace {
std::uint32_t lcg(std::uint32_t& s)
{
    s = s * 1664525u + 1013904223u;
    return s >> 8;
}
std::uint8_t clamp8(double v)
{
    return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
}
} // namespace

image make_test_image(int width, int height, int components, std::uint32_t seed)
{
    image img;
    img.width = width;
    img.height = height;
    img.components = components;
    img.pixels.resize(static_cast<std::size_t>(width) * height * components);
    std::uint32_t s = seed * 2654435761u + 12345u;
    // a few solid boxes with sharp edges
    struct box { int x0, y0, x1, y1; std::uint8_t c[3]; } boxes[6];
    for (auto& b : boxes) {
        b.x0 = static_cast<int>(lcg(s) % static_cast<std::uint32_t>(width));
        b.y0 = static_cast<int>(lcg(s) % static_cast<std::uint32_t>(height));
        b.x1 = b.x0 + 1 + static_cast<int>(lcg(s) % static_cast<std::uint32_t>(width / 3 + 1));
        b.y1 = b.y0 + 1 + static_cast<int>(lcg(s) % static_cast<std::uint32_t>(height / 3 + 1));
        for (auto& c : b.c)
            c = static_cast<std::uint8_t>((lcg(s) & 1) ? 255 : lcg(s) & 255);
    }
    const double phase = (seed % 17) * 0.37;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double fx = width > 1 ? double(x) / (width - 1) : 0.5;
            const double fy = height > 1 ? double(y) / (height - 1) : 0.5;
            double v[3] = {255 * fx, 255 * fy, 128 + 110 * std::sin(6.0 * fx + 4.0 * fy + phase)};
            // fine patterns in a band, noise everywhere
            if ((y / 24) % 3 == 1) {
                const double stripe = 60 * std::sin(x * 1.7 + y * 0.9 + phase);
                v[0] += stripe, v[1] -= stripe, v[2] += stripe * 0.5;
            }
            if (((x / 8) + (y / 8)) % 7 == 3) {
                const double checker = ((x + y) & 1) ? 90 : -90;
                v[0] += checker, v[1] += checker, v[2] += checker;
            }
            for (double& c : v)
                c += static_cast<int>(lcg(s) % 41) - 20;
            for (const auto& b : boxes)
                if (x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1)
                    v[0] = b.c[0], v[1] = b.c[1], v[2] = b.c[2];
            std::uint8_t* p = &img.pixels[(static_cast<std::size_t>(y) * width + x) * components];
            if (components == 1) {
                p[0] = clamp8(0.299 * v[0] + 0.587 * v[1] + 0.114 * v[2]);
            } else {
                for (int i = 0; i < 3; ++i)
                    p[i] = clamp8(v[i]);
            }
        }
    }
    return img;
}

bytes encode(const image& img, const encode_options& o)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(img.width);
    c.image_height = static_cast<JDIMENSION>(img.height);
    c.input_components = img.components;
    c.in_color_space = img.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, o.quality, o.force_baseline ? TRUE : FALSE);
    if (img.components == 3) {
        c.comp_info[0].h_samp_factor = o.h0;
        c.comp_info[0].v_samp_factor = o.v0;
        for (int i = 1; i < 3; ++i)
            c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    }
    c.restart_interval = static_cast<unsigned>(o.restart_interval);
    c.restart_in_rows = o.restart_rows;
    c.optimize_coding = o.optimize ? TRUE : FALSE;
    if (o.progressive)
        jpeg_simple_progression(&c);
    std::vector<jpeg_scan_info> script;
    if (!o.scans.empty()) {
        for (const scan& s : o.scans) {
            jpeg_scan_info si{};
            si.comps_in_scan = s.comps;
            for (int i = 0; i < s.comps; ++i)
                si.component_index[i] = s.index[i];
            si.Ss = s.ss, si.Se = s.se, si.Ah = s.ah, si.Al = s.al;
            script.push_back(si);
        }
        c.scan_info = script.data();
        c.num_scans = static_cast<int>(script.size());
    }
    jpeg_start_compress(&c, TRUE);
    const std::size_t stride = static_cast<std::size_t>(img.width) * img.components;
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(img.pixels.data() + c.next_scanline * stride);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    bytes result(out, out + size);
    std::free(out);
    jpeg_destroy_compress(&c);
    return result;
}

decoded decode_ours(const bytes& file, int max_chunk)
{
    decoded d;
    jpeg_decoder_memory_stream stream(file.data(), file.size(), max_chunk);
    jpeg_decoder dec(&stream, true);
    if (dec.error_code) {
        d.error = dec.error_code;
        d.stage = 1;
        return d;
    }
    d.width = dec.image_width;
    d.height = dec.image_height;
    if (dec.prepare_output() != 0) {
        d.error = dec.error_code;
        d.stage = 2;
        return d;
    }
    d.bpp = dec.component_count == 1 ? 1 : 4;
    const std::size_t line_bytes = static_cast<std::size_t>(d.width) * d.bpp;
    d.pixels.reserve(line_bytes * d.height);
    for (int y = 0; y < d.height; ++y) {
        const std::uint8_t* line = nullptr;
        std::uint32_t length = 0;
        const int r = dec.next_scanline(&line, &length);
        if (r != 0) {
            d.error = dec.error_code ? dec.error_code : r;
            d.stage = 3;
            return d;
        }
        if (length != line_bytes)
            throw std::runtime_error("unexpected line length");
        d.pixels.insert(d.pixels.end(), line, line + length);
    }
    const std::uint8_t* line = nullptr;
    std::uint32_t length = 0;
    if (dec.next_scanline(&line, &length) != 1)
        throw std::runtime_error("no end after the last line");
    return d;
}

// ---- the coefficient oracle ------------------------------------------------

namespace {

struct jump_error {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};
void jump_error_exit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<jump_error*>(cinfo->err)->jump, 1);
}

// The decoder's scalar inverse DCT, written again here:
// LLM with 13-bit constants, rows first in 16-bit storage, then columns. The
// sums are taken as 32-bit two's complement numbers (plain int
// arithmetic): computed here in 64 bits and reduced modulo 2^32 before the
// descaling shift, which is the same thing.
std::int32_t wrap32(std::int64_t v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

void llm(const std::int64_t* in, int stride, std::int64_t* out)
{
    const std::int64_t c0 = in[0], c1 = in[stride], c2 = in[2 * stride], c3 = in[3 * stride];
    const std::int64_t c4 = in[4 * stride], c5 = in[5 * stride], c6 = in[6 * stride], c7 = in[7 * stride];
    const std::int64_t e1 = (c2 + c6) * 4433;
    const std::int64_t e2 = e1 + c6 * -15137;
    const std::int64_t e3 = e1 + c2 * 6270;
    const std::int64_t e0 = (c0 + c4) << 13;
    const std::int64_t e1b = (c0 - c4) << 13;
    const std::int64_t a10 = e0 + e3, a13 = e0 - e3, a11 = e1b + e2, a12 = e1b - e2;
    std::int64_t t0 = c7, t1 = c5, t2 = c3, t3 = c1;
    std::int64_t z1 = t0 + t3, z2 = t1 + t2, z3 = t0 + t2, z4 = t1 + t3;
    const std::int64_t z5 = (z3 + z4) * 9633;
    t0 *= 2446, t1 *= 16819, t2 *= 25172, t3 *= 12299;
    z1 *= -7373, z2 *= -20995, z3 *= -16069, z4 *= -3196;
    z3 += z5, z4 += z5;
    t0 += z1 + z3, t1 += z2 + z4, t2 += z2 + z3, t3 += z1 + z4;
    out[0] = a10 + t3, out[7] = a10 - t3, out[1] = a11 + t2, out[6] = a11 - t2;
    out[2] = a12 + t1, out[5] = a12 - t1, out[3] = a13 + t0, out[4] = a13 - t0;
}

void part_idct(const std::int16_t* deq, std::uint8_t* out, int out_stride)
{
    std::int16_t ws[64];
    for (int r = 0; r < 8; ++r) {
        bool ac = false;
        for (int j = 1; j < 8; ++j)
            ac |= deq[8 * r + j] != 0;
        if (!ac) {
            for (int j = 0; j < 8; ++j)
                ws[8 * r + j] = static_cast<std::int16_t>(deq[8 * r] * 4);
            continue;
        }
        std::int64_t in[8], o[8];
        for (int j = 0; j < 8; ++j)
            in[j] = deq[8 * r + j];
        llm(in, 1, o);
        for (int j = 0; j < 8; ++j)
            ws[8 * r + j] = static_cast<std::int16_t>(wrap32(o[j] + 1024) >> 11);
    }
    for (int c = 0; c < 8; ++c) {
        bool ac = false;
        for (int i = 1; i < 8; ++i)
            ac |= ws[8 * i + c] != 0;
        std::int64_t in[8], o[8];
        for (int i = 0; i < 8; ++i)
            in[i] = ws[8 * i + c];
        if (!ac) {
            const std::int64_t v = ((in[0] + 16) >> 5) + 128;
            for (int i = 0; i < 8; ++i)
                out[i * out_stride + c] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
            continue;
        }
        llm(in, 1, o);
        for (int i = 0; i < 8; ++i)
            out[i * out_stride + c] =
                static_cast<std::uint8_t>(std::clamp<std::int64_t>((wrap32(o[i] + 131072) >> 18) + 128, 0, 255));
    }
}

} // namespace

decoded decode_oracle(const bytes& file)
{
    decoded d;
    jpeg_decompress_struct cinfo;
    jump_error err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jump_error_exit;
    jpeg_create_decompress(&cinfo);
    // Everything that must survive a jump lives outside this frame's automatic C++ objects.
    static thread_local std::vector<std::vector<std::uint8_t>> planes;
    static thread_local std::vector<int> plane_w;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        d.error = -1;
        return d;
    }
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    jvirt_barray_ptr* coefs = jpeg_read_coefficients(&cinfo);
    const int nc = cinfo.num_components;
    planes.assign(static_cast<std::size_t>(nc), {});
    plane_w.assign(static_cast<std::size_t>(nc), 0);
    for (int ci = 0; ci < nc; ++ci) {
        jpeg_component_info* comp = cinfo.comp_info + ci;
        const int bw = static_cast<int>(comp->width_in_blocks), bh = static_cast<int>(comp->height_in_blocks);
        const int pw = bw * 8;
        plane_w[ci] = pw;
        planes[ci].assign(static_cast<std::size_t>(pw) * bh * 8, 0);
        const UINT16* q = comp->quant_table->quantval; // natural order
        for (int by = 0; by < bh; ++by) {
            JBLOCKARRAY rows = (*cinfo.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&cinfo), coefs[ci],
                                                                static_cast<JDIMENSION>(by), 1, FALSE);
            for (int bx = 0; bx < bw; ++bx) {
                std::int16_t deq[64];
                for (int n = 0; n < 64; ++n)
                    deq[n] = static_cast<std::int16_t>(rows[0][bx][n] * static_cast<std::int16_t>(q[n]));
                part_idct(deq, &planes[ci][(static_cast<std::size_t>(by) * 8) * pw + bx * 8], pw);
            }
        }
    }
    d.width = static_cast<int>(cinfo.image_width);
    d.height = static_cast<int>(cinfo.image_height);
    int hmax = 1, vmax = 1;
    for (int ci = 0; ci < nc; ++ci) {
        hmax = std::max(hmax, cinfo.comp_info[ci].h_samp_factor);
        vmax = std::max(vmax, cinfo.comp_info[ci].v_samp_factor);
    }
    d.bpp = nc == 1 ? 1 : 4;
    d.pixels.assign(static_cast<std::size_t>(d.width) * d.height * d.bpp, 0);
    std::int32_t r_cr[256], b_cb[256], g_cr[256], g_cb[256];
    for (int i = 0; i < 256; ++i) {
        r_cr[i] = (91882 * (i - 128) + 32768) >> 16;
        b_cb[i] = (116130 * (i - 128) + 32768) >> 16;
        g_cr[i] = -46802 * (i - 128);
        g_cb[i] = -22554 * (i - 128) + 32768;
    }
    auto clamp = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            std::uint8_t* p = &d.pixels[(static_cast<std::size_t>(y) * d.width + x) * d.bpp];
            const int yy = planes[0][static_cast<std::size_t>(y) * plane_w[0] + x];
            if (nc == 1) {
                p[0] = static_cast<std::uint8_t>(yy);
                continue;
            }
            // chroma replicated over its sampling area (components 1, 2 are 1x1)
            const std::size_t ci = static_cast<std::size_t>(y / vmax) * plane_w[1] + x / hmax;
            const int cb = planes[1][ci], cr = planes[2][ci];
            p[0] = clamp(yy + r_cr[cr]);
            p[1] = clamp(yy + ((g_cb[cb] + g_cr[cr]) >> 16));
            p[2] = clamp(yy + b_cb[cb]);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return d;
}

// ---- files and tools ---------------------------------------------------------

namespace {
// The test process's scratch folder, removed with everything in it at exit.
struct scratch_dir {
    std::string path;
    ~scratch_dir()
    {
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
};
scratch_dir scratch;
} // namespace

std::string temp_dir()
{
    std::string& dir = scratch.path;
    if (dir.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/qm_jpeg_test_XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back(0);
        if (!mkdtemp(buf.data()))
            throw std::runtime_error("mkdtemp failed");
        dir = buf.data();
    }
    return dir;
}

void write_file(const std::string& path, const bytes& data)
{
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!f)
        throw std::runtime_error("cannot write " + path);
}

bytes read_file(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        throw std::runtime_error("cannot read " + path);
    return bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void write_pnm(const std::string& path, const image& img)
{
    std::string header = (img.components == 1 ? "P5\n" : "P6\n") + std::to_string(img.width) + " " +
                         std::to_string(img.height) + "\n255\n";
    bytes data(header.begin(), header.end());
    data.insert(data.end(), img.pixels.begin(), img.pixels.end());
    write_file(path, data);
}

int run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool have_tool(const char* name)
{
    return run(std::string("command -v ") + name + " >/dev/null 2>&1") == 0;
}

decoded decode_djpeg(const bytes& file)
{
    decoded d;
    static int counter = 0;
    const std::string base = temp_dir() + "/djpeg_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    write_file(base + ".jpg", file);
    if (run("djpeg -nosmooth -dct int -pnm -outfile '" + base + ".pnm' '" + base + ".jpg'") != 0) {
        d.error = -1;
        return d;
    }
    const bytes pnm = read_file(base + ".pnm");
    std::remove((base + ".jpg").c_str());
    std::remove((base + ".pnm").c_str());
    // P5/P6, width, height, maxval, one whitespace, data
    std::size_t pos = 2;
    int fields[3] = {};
    for (int& f : fields) {
        while (pos < pnm.size() && std::isspace(pnm[pos]))
            ++pos;
        while (pos < pnm.size() && std::isdigit(pnm[pos]))
            f = f * 10 + (pnm[pos++] - '0');
    }
    ++pos;
    d.width = fields[0];
    d.height = fields[1];
    d.bpp = pnm[1] == '5' ? 1 : 3;
    d.pixels.assign(pnm.begin() + static_cast<std::ptrdiff_t>(pos), pnm.end());
    return d;
}

difference compare_with_djpeg(const decoded& ours, const decoded& dj)
{
    difference diff;
    double sum = 0;
    std::size_t n = 0;
    const int channels = dj.bpp;
    for (int y = 0; y < ours.height; ++y) {
        for (int x = 0; x < ours.width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const int a = ours.pixels[(static_cast<std::size_t>(y) * ours.width + x) * ours.bpp + c];
                const int b = dj.pixels[(static_cast<std::size_t>(y) * dj.width + x) * dj.bpp + c];
                diff.max = std::max(diff.max, std::abs(a - b));
                sum += double(a - b) * (a - b);
                ++n;
            }
        }
    }
    diff.rmse = n ? std::sqrt(sum / n) : 0;
    return diff;
}

// ---- byte surgery and hand-built files ----------------------------------------

bytes segment(std::uint8_t marker, const bytes& payload)
{
    bytes s = {0xFF, marker, static_cast<std::uint8_t>((payload.size() + 2) >> 8),
               static_cast<std::uint8_t>((payload.size() + 2) & 255)};
    s.insert(s.end(), payload.begin(), payload.end());
    return s;
}

std::size_t find_marker(const bytes& file, std::uint8_t marker, std::size_t from)
{
    for (std::size_t i = from; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == marker)
            return i;
    throw std::runtime_error("marker not found");
}

bytes insert_at(const bytes& file, std::size_t offset, const bytes& what)
{
    bytes out(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(offset));
    out.insert(out.end(), what.begin(), what.end());
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(offset), file.end());
    return out;
}

bytes replace_segment(const bytes& file, std::uint8_t marker, const bytes& new_segment)
{
    const std::size_t at = find_marker(file, marker);
    const std::size_t length = (static_cast<std::size_t>(file[at + 2]) << 8) | file[at + 3];
    bytes out(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(at));
    out.insert(out.end(), new_segment.begin(), new_segment.end());
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 2 + length), file.end());
    return out;
}

bytes remove_segments(const bytes& file, std::uint8_t marker)
{
    bytes out = file;
    const std::size_t sos = find_marker(out, 0xDA);
    for (;;) {
        std::size_t at;
        try {
            at = find_marker(out, marker);
        } catch (const std::runtime_error&) {
            return out;
        }
        if (at > sos)
            return out;
        const std::size_t length = (static_cast<std::size_t>(out[at + 2]) << 8) | out[at + 3];
        out.erase(out.begin() + static_cast<std::ptrdiff_t>(at),
                  out.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
    }
}

bytes sof(std::uint8_t marker, int width, int height, const std::vector<frame_component>& comps, int precision)
{
    bytes p = {static_cast<std::uint8_t>(precision), static_cast<std::uint8_t>(height >> 8),
               static_cast<std::uint8_t>(height & 255), static_cast<std::uint8_t>(width >> 8),
               static_cast<std::uint8_t>(width & 255), static_cast<std::uint8_t>(comps.size())};
    for (const auto& c : comps) {
        p.push_back(static_cast<std::uint8_t>(c.id));
        p.push_back(static_cast<std::uint8_t>((c.h << 4) | c.v));
        p.push_back(static_cast<std::uint8_t>(c.tq));
    }
    return segment(marker, p);
}

bytes dqt(int number, const std::vector<int>& values, bool wide)
{
    bytes p = {static_cast<std::uint8_t>((wide ? 0x10 : 0) | number)};
    for (int v : values) {
        if (wide)
            p.push_back(static_cast<std::uint8_t>(v >> 8));
        p.push_back(static_cast<std::uint8_t>(v & 255));
    }
    return segment(0xDB, p);
}

bytes dht(int table_class, int number, const std::vector<int>& counts, const std::vector<int>& symbols)
{
    bytes p = {static_cast<std::uint8_t>((table_class << 4) | number)};
    for (int c : counts)
        p.push_back(static_cast<std::uint8_t>(c));
    for (int s : symbols)
        p.push_back(static_cast<std::uint8_t>(s));
    return segment(0xC4, p);
}

bytes sos(const std::vector<scan_component>& comps, int ss, int se, int ah, int al)
{
    bytes p = {static_cast<std::uint8_t>(comps.size())};
    for (const auto& c : comps) {
        p.push_back(static_cast<std::uint8_t>(c.id));
        p.push_back(static_cast<std::uint8_t>((c.td << 4) | c.ta));
    }
    p.push_back(static_cast<std::uint8_t>(ss));
    p.push_back(static_cast<std::uint8_t>(se));
    p.push_back(static_cast<std::uint8_t>((ah << 4) | al));
    return segment(0xDA, p);
}

bytes dri(int interval)
{
    return segment(0xDD, {static_cast<std::uint8_t>(interval >> 8), static_cast<std::uint8_t>(interval & 255)});
}

void bit_writer::put(std::uint32_t value, int bits)
{
    for (int i = bits - 1; i >= 0; --i) {
        acc_ = (acc_ << 1) | ((value >> i) & 1);
        if (++n_ == 8) {
            out_.push_back(static_cast<std::uint8_t>(acc_));
            if (acc_ == 0xFF)
                out_.push_back(0);
            acc_ = 0;
            n_ = 0;
        }
    }
}

bytes bit_writer::finish()
{
    if (n_)
        put(0xFF, 8 - n_);
    return out_;
}

std::vector<int> std_dc_counts() { return {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}; }
std::vector<int> std_dc_symbols() { return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}; }
std::vector<int> std_ac_counts() { return {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d}; }
std::vector<int> std_ac_symbols()
{
    return {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71,
            0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72,
            0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37,
            0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
            0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
            0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3,
            0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3,
            0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2,
            0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};
}
std::vector<int> flat_quant(int value) { return std::vector<int>(64, value); }

bytes concat(std::initializer_list<bytes> parts)
{
    bytes out;
    for (const bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace jt
