#include "util/texture/jpg_loader.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "system/fatal.h"
#include "util/data/data.h"
#include "util/texture/picture_size.h"

void mem_init_source(j_decompress_ptr) {}
void mem_term_source(j_decompress_ptr) {}

boolean mem_fill_input_buffer(j_decompress_ptr cinfo) {
    // The whole file is in the buffer: asking for more means it ended early.
    ERREXIT(cinfo, JERR_INPUT_EMPTY);
    return FALSE;
}

void mem_skip_input_data(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    if (static_cast<size_t>(count) > src->bytes_in_buffer) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

void set_jpeg_memory_source(j_decompress_ptr cinfo, const JOCTET* data, size_t length) {
    if (!cinfo->src)
        cinfo->src = static_cast<jpeg_source_mgr*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
    jpeg_source_mgr* src = cinfo->src;
    src->init_source = mem_init_source;
    src->fill_input_buffer = mem_fill_input_buffer;
    src->skip_input_data = mem_skip_input_data;
    src->resync_to_restart = jpeg_resync_to_restart;
    src->term_source = mem_term_source;
    src->next_input_byte = data;
    src->bytes_in_buffer = length;
}

namespace {

// The most libjpeg may allocate for one picture. A progressive file keeps
// the coefficients of the whole picture while it decodes (two bytes a
// sample), which is what a small file claiming a huge size would make it
// allocate: 256 MB leaves room for some 8000 x 8000 pixels in full colour at
// half-size chroma, far beyond any picture a production loads.
constexpr long kLibraryMemory = 256L << 20;

// libjpeg's default error manager, except that a fatal error comes back here
// (instead of ending the process at once) so that the run ends with our
// message after the decoder has been cleaned up.
struct ErrorManager {
    jpeg_error_mgr std;
    jmp_buf back;
    char message[JMSG_LENGTH_MAX];
    unsigned char* scanlines;
    JSAMPROW* rows;
};

void error_exit_back(j_common_ptr cinfo) {
    ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    if (code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY) {
        // The library's own words ("Backing store not supported") would not
        // tell what happened: the picture needs more than it may have.
        std::snprintf(err->message, sizeof err->message, "decoding it needs more than %ld MB of memory",
                      kLibraryMemory >> 20);
    } else {
        (*cinfo->err->format_message)(cinfo, err->message);
    }
    std::longjmp(err->back, 1);
}

// A picture the program cannot use, told by its header alone: none of it
// is decoded, nothing is allocated for it.
// Ends the run for one, after the decoder has been cleaned up.
void refuse_unusable_size(j_decompress_ptr cinfo, JDIMENSION width, JDIMENSION height, const std::string& name) {
    if (width > 0 && height > 0 && !picture_size::too_large(width, height, Image::max_side)) return;
    jpeg_destroy_decompress(cinfo);
    FATAL_ERROR(DataFile::failure_message("Failed reading " + name + "\n", name,
                                          picture_size::too_large_reason(width, height)));
}

}  // namespace

bool Image::read_jpeg(const char* name) {
    int32_t length = 0;
    char* bytes = DataFile::load(name, "rb", &length, false, false);
    if (!bytes) return false;
    std::string copy_of_name = name;
    bool ok = false;
    try {
        ok = read_jpeg_buffer(reinterpret_cast<const uint8_t*>(bytes), static_cast<size_t>(length), copy_of_name);
    } catch (...) {
        std::free(bytes);
        throw;
    }
    std::free(bytes);
    return ok;
}

bool Image::read_jpeg_buffer(const uint8_t* data, size_t length, const std::string& name) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    err.scanlines = nullptr;
    err.rows = nullptr;
    cinfo.err = jpeg_std_error(&err.std);
    err.std.error_exit = error_exit_back;
    if (setjmp(err.back)) {
        std::free(err.scanlines);
        std::free(err.rows);
        jpeg_destroy_decompress(&cinfo);
        FATAL_ERROR("Failed reading " << name << ": " << err.message << "\n");
    }
    jpeg_CreateDecompress(&cinfo, 62, sizeof(cinfo));
    cinfo.mem->max_memory_to_use = kLibraryMemory;
    set_jpeg_memory_source(&cinfo, data, length);
    jpeg_read_header(&cinfo, TRUE);
    // Refused before jpeg_start_decompress, which allocates for the size the
    // header claims (all of it at once for a progressive file).
    refuse_unusable_size(&cinfo, cinfo.image_width, cinfo.image_height, name);
    cinfo.out_color_space = channels == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_start_decompress(&cinfo);

    const JDIMENSION out_w = cinfo.output_width;
    const JDIMENSION out_h = cinfo.output_height;
    const size_t components = static_cast<size_t>(cinfo.output_components);
    refuse_unusable_size(&cinfo, out_w, out_h, name);
    const size_t row_bytes = static_cast<size_t>(out_w) * components;
    err.scanlines = static_cast<unsigned char*>(std::malloc(row_bytes * out_h));
    err.rows = static_cast<JSAMPROW*>(std::malloc(sizeof(JSAMPROW) * out_h));
    if (!err.scanlines || !err.rows) {
        std::free(err.scanlines);
        std::free(err.rows);
        jpeg_destroy_decompress(&cinfo);
        FATAL_ERROR("Failed reading " << name << ": out of memory\n");
    }
    for (JDIMENSION i = 0; i < out_h; ++i) err.rows[i] = err.scanlines + row_bytes * i;
    while (cinfo.output_scanline < out_h)
        jpeg_read_scanlines(&cinfo, err.rows + cinfo.output_scanline, out_h - cinfo.output_scanline);

    resize(static_cast<int32_t>(out_w), static_cast<int32_t>(out_h));
    for (int32_t row = 0; row < height; ++row) {
        const unsigned char* p = err.rows[row];
        for (int32_t col = 0; col < width; ++col, p += components) {
            if (components >= 3) set_pixel(row, col, p[0], p[2], p[1]);
            else set_pixel(row, col, p[0], p[0], p[0]);
        }
    }
    std::free(err.scanlines);
    std::free(err.rows);
    err.scanlines = nullptr;
    err.rows = nullptr;
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}
