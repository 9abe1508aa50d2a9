// vendrel-demo-volume <folder>: builds a realistic macOS volume in <folder> from the content
// files in tools/demo/content/ (every *.json file there, in name order).
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "tools/demo/volume_builder.h"

#ifndef VENDREL_DEMO_CONTENT_DIR
#error "VENDREL_DEMO_CONTENT_DIR must name the folder of the content files"
#endif

namespace stdfs = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || std::string(argv[1]).rfind('-', 0) == 0) {
        std::cerr << "usage: vendrel-demo-volume <folder> [<content folder>]\n"
                     "Builds a macOS volume in <folder> from the content files (*.json, in\n"
                     "name order) of <content folder>, by default " VENDREL_DEMO_CONTENT_DIR "\n";
        return 2;
    }
    const stdfs::path contentDir = argc == 3 ? stdfs::path(argv[2]) : VENDREL_DEMO_CONTENT_DIR;
    std::error_code ec;
    const stdfs::path volume = stdfs::absolute(argv[1], ec);
    stdfs::create_directories(volume, ec);
    if (ec || !stdfs::is_directory(volume)) {
        std::cerr << "vendrel-demo-volume: cannot create the folder " << argv[1] << "\n";
        return 1;
    }

    std::vector<stdfs::path> files;
    for (const auto& entry : stdfs::directory_iterator(contentDir, ec)) {
        if (entry.path().extension() == ".json")
            files.push_back(entry.path());
    }
    if (ec || files.empty()) {
        std::cerr << "vendrel-demo-volume: no content files in " << contentDir << "\n";
        return 1;
    }
    std::sort(files.begin(), files.end());

    // The platform layer maps every logical path onto the volume's folder.
    ::setenv("VENDREL_ROOT", volume.c_str(), 1);
    vendrel::demo::VolumeBuilder builder;
    try {
        for (const auto& file : files) {
            std::ifstream in(file);
            nlohmann::json content;
            try {
                content = nlohmann::json::parse(in);
            } catch (const nlohmann::json::parse_error& e) {
                throw vendrel::demo::ContentError(file.filename().string() + ": " + e.what());
            }
            builder.apply(content, file.filename().string());
        }
        builder.finish();
    } catch (const std::exception& e) {
        std::cerr << "vendrel-demo-volume: " << e.what() << "\n";
        return 1;
    }
    std::cout << "Demo volume built in " << volume.string() << " from " << files.size()
              << " content file(s)\n";
    return 0;
}
