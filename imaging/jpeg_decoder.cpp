#include "imaging/jpeg_decoder.h"

// libjpeg's header needs size_t and FILE declared first.
#include "imaging/graphic_error.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <string>

namespace kalvo {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. We jump back
// to the guarded call with longjmp and raise the C++ error there, outside libjpeg's frames.
// Only plain data lives in the frames between setjmp and longjmp, so no destructor is skipped.
struct TJpegSession {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
    bool created = false;
    bool damaged = false; // set while the picture is read; message says why

    TJpegSession() {
        info.err = jpeg_std_error(&errors);
        errors.error_exit = &ErrorExit;
        errors.emit_message = &Emit;
    }
    ~TJpegSession() {
        if (created)
            jpeg_destroy_decompress(&info);
    }
    TJpegSession(const TJpegSession&) = delete;
    TJpegSession& operator=(const TJpegSession&) = delete;

    static TJpegSession& Of(j_common_ptr common) {
        // info is the first member, so the session starts where libjpeg's struct does.
        return *reinterpret_cast<TJpegSession*>(common);
    }
    static void ErrorExit(j_common_ptr common) {
        TJpegSession& session = Of(common);
        common->err->format_message(common, session.message);
        std::longjmp(session.jump, 1);
    }
    // Warnings are not printed. Those that say the picture data is damaged or missing are
    // remembered: libjpeg goes on and fills what it could not decode with grey, and the
    // decoder must not hand that out as the picture. Reaching the end of the file is not
    // one of them: the bit reader reads ahead, so it also happens to complete pictures
    // without an end marker; rows that really lack data raise "premature end of data
    // segment". (A progressive picture that lacks its later scans shows at the quality of
    // the scans it has.)
    static void Emit(j_common_ptr common, int level) {
        if (level >= 0)
            return;
        ++common->err->num_warnings;
        switch (common->err->msg_code) {
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_BOGUS_PROGRESSION:
            if (!Of(common).damaged) {
                Of(common).damaged = true;
                common->err->format_message(common, Of(common).message);
            }
            break;
        default:
            break;
        }
    }

    [[noreturn]] void Fail() const {
        throw EInvalidGraphic(std::string("Cannot load JPEG image: ") + message);
    }
};
static_assert(offsetof(TJpegSession, info) == 0);

// Every guarded step below is one setjmp frame holding only plain data.

bool StartDecoding(TJpegSession& session, const std::uint8_t* data, std::size_t size) {
    if (setjmp(session.jump))
        return false;
    jpeg_create_decompress(&session.info);
    session.created = true;
    jpeg_mem_src(&session.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&session.info, TRUE);
    return true;
}

bool StartOutput(TJpegSession& session) {
    if (setjmp(session.jump))
        return false;
    session.info.out_color_space =
        session.info.jpeg_color_space == JCS_CMYK || session.info.jpeg_color_space == JCS_YCCK
            ? JCS_CMYK
            : JCS_EXT_BGR;
    jpeg_start_decompress(&session.info);
    return true;
}

// Decodes every row into the bitmap; CMYK rows go through a scratch row and are converted.
bool ReadRows(TJpegSession& session, std::uint8_t* row0, std::ptrdiff_t stride,
              std::uint8_t* scratch) {
    if (setjmp(session.jump))
        return false;
    jpeg_decompress_struct& info = session.info;
    const bool cmyk = info.out_color_space == JCS_CMYK;
    while (info.output_scanline < info.output_height) {
        std::uint8_t* row = row0 + std::ptrdiff_t(info.output_scanline) * stride;
        JSAMPROW target = cmyk ? scratch : row;
        if (jpeg_read_scanlines(&info, &target, 1) != 1 || session.damaged)
            break;
        if (cmyk) {
            // Pictures from Adobe tools store CMYK inverted: the bytes are already 255 - ink.
            const bool inverted = info.saw_Adobe_marker;
            for (JDIMENSION x = 0; x < info.output_width; ++x) {
                const std::uint8_t* s = scratch + x * 4;
                const unsigned k = inverted ? s[3] : 255u - s[3];
                for (int c = 0; c < 3; ++c) {
                    const unsigned ink = inverted ? s[2 - c] : 255u - s[2 - c];
                    row[x * 3 + unsigned(c)] = std::uint8_t((ink * k + 127) / 255);
                }
            }
        }
    }
    return true;
}

bool FinishDecoding(TJpegSession& session) {
    if (setjmp(session.jump))
        return false;
    jpeg_finish_decompress(&session.info);
    return true;
}

void Start(TJpegSession& session, std::span<const std::uint8_t> file) {
    if (file.empty()) {
        std::snprintf(session.message, sizeof session.message, "the file is empty");
        session.Fail();
    }
    if (!StartDecoding(session, file.data(), file.size()))
        session.Fail();
}

} // namespace

TJPEGInfo ReadJPEGInfo(std::span<const std::uint8_t> file) {
    TJpegSession session;
    Start(session, file);
    return {int(session.info.image_width), int(session.info.image_height),
            session.info.num_components};
}

TBitmap DecodeJPEG(std::span<const std::uint8_t> file) {
    TJpegSession session;
    Start(session, file);
    const std::int64_t pixels =
        std::int64_t(session.info.image_width) * std::int64_t(session.info.image_height);
    if (pixels > MaxBitmapPixels) {
        std::snprintf(session.message, sizeof session.message, "the picture is too large (%ux%u)",
                      session.info.image_width, session.info.image_height);
        session.Fail();
    }
    // A progressive picture is read whole while output starts.
    if (!StartOutput(session) || session.damaged)
        session.Fail();

    TBitmap bitmap(int(session.info.output_width), int(session.info.output_height), pf24bit);
    std::string scratch(std::size_t(session.info.output_width) * 4, '\0');
    if (!ReadRows(session, bitmap.Row0(), bitmap.Stride(),
                  reinterpret_cast<std::uint8_t*>(scratch.data())) ||
        session.damaged)
        session.Fail();
    // Every row is there; what libjpeg finds after them (a missing end marker, say) does not
    // change the picture, so warnings from here on are ignored.
    if (!FinishDecoding(session))
        session.Fail();
    return bitmap;
}

} // namespace kalvo
