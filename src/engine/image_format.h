// A file format as it travels through the program; engine/format_table.h holds its row.
#pragma once

namespace tavelune {

/// Further formats take further values, each with its row in the format table.
enum class ImageFormat {
    Jpeg,
    Tiff,
    Gif,
    Psd,
    Png,
    Bmp,
    Webp,
    Heif,
    Avif,
    // Camera raw files, one kind per maker's format (each has its own MIME type).
    AdobeDng,
    CanonCr2,
    CanonCr3,
    CanonCrw,
    NikonNef,
    SonyArw,
    FujiRaf,
    OlympusOrf,
    PanasonicRw2,
    PentaxPef,
    SamsungSrw,
    HasselbladRaw,
    PhaseOneIiq,
    EpsonErf,
    MamiyaMef,
    LeafMos,
    KodakRaw,
    MinoltaMrw,
    SigmaX3f,
};

}  // namespace tavelune
