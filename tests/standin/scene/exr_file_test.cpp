#include <gtest/gtest.h>

#include <OpenEXR/ImfRgbaFile.h>

#include "standin/scene/image_file.h"
#include "tests/temp_dir.h"

namespace {

TEST(ExrFile, KeepsHighValuesAndAlphaAndRefusesBrokenFiles) {
    vxt::TempDir dir;
    const std::string path = dir.path("hdr.exr");
    for (const bool alpha : {true, false}) {
        {
            Imf::RgbaOutputFile file(path.c_str(), 2, 1, alpha ? Imf::WRITE_RGBA : Imf::WRITE_RGB);
            const Imf::Rgba pixels[2] = {{2.5f, 0.5f, 0.25f, 0.25f}, {0, 1, 8, 1}};
            file.setFrameBuffer(pixels, 1, 2);
            file.writePixels(1);
        }
        vxs::Image image;
        std::string error;
        ASSERT_TRUE(vxs::readImageFile(path, image, error)) << error;
        EXPECT_EQ(image.width, 2);
        EXPECT_EQ(image.hasAlpha, alpha);
        const std::vector<float> want{2.5f, 0.5f, 0.25f, alpha ? 0.25f : 1.0f, 0, 1, 8, 1};
        EXPECT_EQ(image.rgba, want);
    }
    const std::string bytes = dir.read("hdr.exr");
    dir.write("hdr.exr", bytes.substr(0, bytes.size() / 2));
    vxs::Image image;
    std::string error;
    EXPECT_FALSE(vxs::readImageFile(path, image, error));
    EXPECT_NE(error.find("OpenEXR"), std::string::npos) << error;
}

}  // namespace
