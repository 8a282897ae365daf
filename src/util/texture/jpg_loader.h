// JPEG pictures through libjpeg (6b interface), read from memory into an
// Image (image.h) with a source manager of our own.
#pragma once

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "util/texture/image.h"

// Points the decompression object at `length` bytes. Running out of them
// (or a skip past their end) is libjpeg's "Empty input file" error.
void set_jpeg_memory_source(j_decompress_ptr cinfo, const JOCTET* data, size_t length);

void mem_init_source(j_decompress_ptr cinfo);
boolean mem_fill_input_buffer(j_decompress_ptr cinfo);
void mem_skip_input_data(j_decompress_ptr cinfo, long count);
void mem_term_source(j_decompress_ptr cinfo);
