// Writes the application icon that the resource script embeds: make_icons <path of vantor.ico>.

#include <fstream>
#include <iostream>

#include "app/core/Artwork.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_icons <vantor.ico>\n";
        return 2;
    }
    const auto bytes = vantor::art::EncodeIco(vantor::art::MainIcon());
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out ? 0 : 1;
}
