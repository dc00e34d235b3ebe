// Recipes of the evaluation categories. A photo is built in the order light
// reaches the sensor: desk, objects under the page, other sheets, the page
// and its shadow, objects on top, light and cast shadows, then the camera
// (blur, noise, sharpening, JPEG quality).
#include "SceneGenerator.h"

#include "Backgrounds.h"
#include "PageRenderer.h"
#include "PhotoEffects.h"
#include "SceneObjects.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace bitonix {

namespace {

// Everything a page category varies.
struct TRecipe {
    std::vector<TDeskKind> Desks;
    bool LowContrast = false;
    double AreaLo = 0.2, AreaHi = 0.55;
    double RollMax = 15;   // degrees either way
    bool Sideways = false; // turned 40 to 140 degrees either way
    double TiltMax = 20;   // degrees either way, pitch and yaw
    TPlacement Placement;
    int OtherSheets = 0;
    int CrossingObjects = 0;
    double DeskObjectChance = 0.3;
    double ShadowLo = 0.08, ShadowHi = 0.35; // drop shadow depth
    double GradientLo = 0.05, GradientHi = 0.3;
    double VignetteLo = 0.05, VignetteHi = 0.25;
    int CastShadows = 0;
    double CastShadowChance = 0.2;
    double CastDepthLo = 0.15, CastDepthHi = 0.35;
    double CastCast = 0.05; // colour cast strength
    double BlurLo = 0.4, BlurHi = 1.4;
    double MotionChance = 0;
    double NoiseLo = 1.0, NoiseHi = 3.5;
    double ChromaLo = 0.5, ChromaHi = 2.0;
    int JpegLo = 75, JpegHi = 95;
    double RecompressChance = 0;
};

const std::vector<TDeskKind> KAllDesks = {
    TDeskKind::dkDarkWood,   TDeskKind::dkLightWood, TDeskKind::dkWhiteTable,
    TDeskKind::dkGreyTable,  TDeskKind::dkDarkCloth, TDeskKind::dkFabric,
    TDeskKind::dkGranite,    TDeskKind::dkBedSheet,  TDeskKind::dkCarpet,
    TDeskKind::dkColourDesk, TDeskKind::dkBlackDesk};

TRecipe RecipeFor(const std::string& name) {
    TRecipe r;
    r.Desks = KAllDesks;
    if (name == "dark") {
        r.Desks = {TDeskKind::dkDarkWood, TDeskKind::dkDarkCloth, TDeskKind::dkBlackDesk};
    } else if (name == "light") {
        r.Desks = {TDeskKind::dkWhiteTable, TDeskKind::dkLightWood, TDeskKind::dkBedSheet};
    } else if (name == "textured") {
        r.Desks = {TDeskKind::dkFabric, TDeskKind::dkGranite, TDeskKind::dkCarpet,
                   TDeskKind::dkDarkWood, TDeskKind::dkLightWood};
    } else if (name == "cluttered") {
        r.AreaLo = 0.28;
        r.AreaHi = 0.5;
        r.OtherSheets = 2;
        r.CrossingObjects = 2;
        r.DeskObjectChance = 0.7;
    } else if (name == "lowcontrast") {
        r.LowContrast = true;
        r.ShadowLo = 0.0;
        r.ShadowHi = 0.08;
    } else if (name == "lighting") {
        r.GradientLo = 0.3;
        r.GradientHi = 0.6;
        r.VignetteLo = 0.25;
        r.VignetteHi = 0.45;
        r.CastShadows = 1;
        r.CastShadowChance = 0.6;
        r.CastDepthLo = 0.3;
        r.CastDepthHi = 0.6;
        r.CastCast = 0.15;
    } else if (name == "blurnoise") {
        r.BlurLo = 2.5;
        r.BlurHi = 6.0;
        r.MotionChance = 0.4;
        r.NoiseLo = 5.0;
        r.NoiseHi = 10.0;
        r.ChromaLo = 2.0;
        r.ChromaHi = 6.0;
    } else if (name == "jpeg") {
        r.JpegLo = 8;
        r.JpegHi = 25;
        r.RecompressChance = 0.4;
    } else if (name == "sideways") {
        r.Sideways = true;
    } else if (name == "cutoff") {
        r.AreaLo = 0.3;
        r.AreaHi = 0.7;
        r.Placement.CutOff = true;
    } else if (name == "fill") {
        r.AreaLo = 0.62;
        r.AreaHi = 0.85;
        r.RollMax = 5;
        r.TiltMax = 10;
        r.Placement.MarginFraction = 0.006;
    } else if (name != "emptydesk") {
        throw std::invalid_argument("unknown category " + name);
    }
    return r;
}

TPagePose RandomPose(TRandom& rnd, const TRecipe& r) {
    TPagePose pose;
    const double u = rnd.Uniform(0, 1);
    pose.PageMm = u < 0.7   ? cv::Size2d(210, 297)
                  : u < 0.9 ? cv::Size2d(216, 279)
                            : cv::Size2d(148, 210);
    if (rnd.Chance(0.1)) {
        pose.PageMm = cv::Size2d(pose.PageMm.height, pose.PageMm.width);
    }
    pose.RollDeg = r.Sideways ? rnd.Signed(40, 140) : rnd.Uniform(-r.RollMax, r.RollMax);
    const double tilt = rnd.Chance(0.3) ? r.TiltMax * 1.5 : r.TiltMax;
    pose.PitchDeg = rnd.Uniform(-tilt, tilt);
    pose.YawDeg = rnd.Uniform(-tilt, tilt);
    return pose;
}

// A page canvas about as large as the page appears in the photo.
cv::Mat RenderPageFor(TRandom& rnd, const TQuad& quad, const TPagePose& pose,
                      const TPageLook& look) {
    double longest = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        longest = std::max(longest, static_cast<double>(cv::norm(quad[i] - quad[(i + 1) % 4])));
    }
    longest = std::clamp(longest, 400.0, 3600.0);
    const double aspect = pose.PageMm.width / pose.PageMm.height;
    const cv::Size size = aspect < 1 ? cv::Size(cvRound(longest * aspect), cvRound(longest))
                                     : cv::Size(cvRound(longest), cvRound(longest / aspect));
    return RenderPage(rnd, size, look);
}

bool Near(const TQuad& quad, cv::Point2f p, double distance) {
    const std::vector<cv::Point2f> contour(quad.begin(), quad.end());
    return cv::pointPolygonTest(contour, p, true) > -distance;
}

cv::Point2f RandomPoint(TRandom& rnd, cv::Size frame) {
    return {static_cast<float>(rnd.Uniform(0, frame.width)),
            static_cast<float>(rnd.Uniform(0, frame.height))};
}

// A similar sheet lying under `quad`, turned and shifted a little.
TQuad StackedUnder(TRandom& rnd, const TQuad& quad) {
    const cv::Point2f centre = (quad[0] + quad[1] + quad[2] + quad[3]) * 0.25f;
    const double turn = rnd.Signed(1.0, 5.0) * 3.14159265 / 180.0;
    const double diagonal = cv::norm(quad[0] - quad[2]);
    const double direction = rnd.Uniform(0, 6.2831853);
    const cv::Point2f shift(
        static_cast<float>(std::cos(direction) * diagonal * rnd.Uniform(0.02, 0.06)),
        static_cast<float>(std::sin(direction) * diagonal * rnd.Uniform(0.02, 0.06)));
    TQuad out;
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2f d = quad[i] - centre;
        out[i] = centre + shift +
                 cv::Point2f(static_cast<float>(d.x * std::cos(turn) - d.y * std::sin(turn)),
                             static_cast<float>(d.x * std::sin(turn) + d.y * std::cos(turn)));
    }
    return out;
}

// Light and lens, applied at the scene's working size (half the frame):
// uneven light, cast shadows, colour cast, blur (sizes given in frame pixels).
void Optics(cv::Mat& image, TRandom& rnd, const TRecipe& r) {
    const double perPixel = std::max(image.cols, image.rows) / 4000.0;
    const double gainB = 1.0 + rnd.Uniform(-2 * r.CastCast, r.CastCast * 0.5);
    const double gainR = 1.0 + rnd.Uniform(-r.CastCast * 0.5, r.CastCast);
    cv::Mat light = LightField(rnd, cv::Size(200, 150), rnd.Uniform(r.GradientLo, r.GradientHi),
                               rnd.Uniform(r.VignetteLo, r.VignetteHi));
    const int shadows = std::max(r.CastShadows, rnd.Chance(r.CastShadowChance) ? 1 : 0);
    for (int i = 0; i < shadows; ++i) {
        light = light.mul(CastShadow(rnd, light.size(), rnd.Uniform(r.CastDepthLo, r.CastDepthHi),
                                     rnd.Uniform(0.3, 6.0)));
    }
    ApplyGain(image, light);
    cv::Mat channels[3];
    cv::split(image, channels);
    channels[0].convertTo(channels[0], CV_8U, gainB);
    channels[2].convertTo(channels[2], CV_8U, gainR);
    cv::merge(channels, 3, image);
    if (rnd.Chance(r.MotionChance)) {
        MotionBlur(image, rnd.Uniform(8, 25) * perPixel, rnd.Uniform(0, 180));
    } else {
        Defocus(image, rnd.Uniform(r.BlurLo, r.BlurHi) * perPixel);
    }
}

// The sensor and the phone's processing: the optical image is sampled at
// the full frame size, then blotchy colour noise, fine grey noise,
// sharpening and, for some, a messenger's recompression.
cv::Mat Sensor(const cv::Mat& optical, cv::Size frame, TRandom& rnd, const TRecipe& r,
               TScene& scene) {
    cv::Mat blotchy = optical.clone();
    AddNoise(blotchy, rnd, 0.0, rnd.Uniform(r.ChromaLo, r.ChromaHi));
    cv::Mat image;
    cv::resize(blotchy, image, frame, 0, 0, cv::INTER_CUBIC);
    AddNoise(image, rnd, rnd.Uniform(r.NoiseLo, r.NoiseHi), 0.0);
    Sharpen(image, rnd.Uniform(0.0, 0.8), 2.0 * std::max(frame.width, frame.height) / 4000.0);
    if (rnd.Chance(r.RecompressChance)) {
        cv::Mat small;
        cv::resize(image, small, cv::Size(), 0.5, 0.5, cv::INTER_AREA);
        std::vector<std::uint8_t> bytes;
        cv::imencode(".jpg", small, bytes, {cv::IMWRITE_JPEG_QUALITY, rnd.Int(20, 50)});
        cv::resize(cv::imdecode(bytes, cv::IMREAD_COLOR), image, image.size(), 0, 0,
                   cv::INTER_LINEAR);
    }
    scene.JpegQuality = rnd.Int(r.JpegLo, r.JpegHi);
    return image;
}

// A point of the working image in frame pixels (twice the size).
cv::Point2f ToFrame(cv::Point2f p) {
    return (p + cv::Point2f(0.5f, 0.5f)) * 2.0f - cv::Point2f(0.5f, 0.5f);
}

TScene PhotoScene(const std::string& name, TRandom& rnd) {
    const TRecipe r = RecipeFor(name);
    // The scene is composed at half the frame size and sampled up by the
    // sensor: a 12-megapixel phone photo is not sharp at its own pixel size.
    const cv::Size full = rnd.Chance(0.6) ? cv::Size(3000, 4000) : cv::Size(4000, 3000);
    const cv::Size frame(full.width / 2, full.height / 2);
    const double longest = std::max(frame.width, frame.height);
    TScene scene;
    scene.HasPage = name != "emptydesk";

    const TPageLook look = RandomPageLook(rnd, false);
    TDeskLook desk = RandomDeskLook(
        rnd, r.Desks[static_cast<std::size_t>(rnd.Int(0, static_cast<int>(r.Desks.size()) - 1))]);
    if (r.LowContrast) {
        desk =
            RandomDeskLook(rnd, rnd.Chance(0.5) ? TDeskKind::dkWhiteTable : TDeskKind::dkBedSheet);
        const double dim = rnd.Uniform(0.94, 0.975);
        desk.Base = look.Paper * dim +
                    cv::Scalar(rnd.Uniform(-3, 3), rnd.Uniform(-3, 3), rnd.Uniform(-3, 3));
        desk.Strength = std::min(desk.Strength, 0.05);
    }
    cv::Mat image = RenderDesk(rnd, frame, desk);

    if (!scene.HasPage) {
        const int objects = rnd.Int(1, 3);
        for (int i = 0; i < objects; ++i) {
            DeskObject(image, rnd, RandomPoint(rnd, frame));
        }
        Optics(image, rnd, r);
        scene.Image = Sensor(image, full, rnd, r, scene);
        return scene;
    }

    TPagePose pose;
    std::optional<TQuad> placed;
    for (int attempt = 0; !placed; ++attempt) {
        pose = RandomPose(rnd, r);
        TPlacement placement = r.Placement;
        placement.AreaFraction = rnd.Uniform(r.AreaLo, r.AreaHi) * (attempt < 20 ? 1.0 : 0.8);
        placed = PlacePage(rnd, frame, pose, placement);
    }
    const TQuad quad = *placed;
    for (std::size_t i = 0; i < 4; ++i) {
        scene.Truth[i] = ToFrame(quad[i]);
    }

    if (rnd.Chance(r.DeskObjectChance)) {
        for (int tries = 0; tries < 30; ++tries) {
            const cv::Point2f at = RandomPoint(rnd, frame);
            if (r.CrossingObjects > 0 || !Near(quad, at, 0.12 * longest)) {
                DeskObject(image, rnd, at);
                break;
            }
        }
    }
    for (int i = 0; i < r.OtherSheets; ++i) {
        std::optional<TQuad> other;
        if (i == 0 && rnd.Chance(0.35)) {
            other = StackedUnder(rnd, quad);
        } else {
            TPlacement placement;
            placement.AreaFraction = rnd.Uniform(0.08, 0.25);
            placement.CutOff = rnd.Chance(0.5);
            other = PlacePage(rnd, frame, RandomPose(rnd, r), placement);
        }
        if (!other) {
            continue;
        }
        const TPagePose otherPose = pose;
        const cv::Mat sheet = RenderPageFor(rnd, *other, otherPose, RandomPageLook(rnd, false));
        DropShadow(image, *other, rnd.Uniform(r.ShadowLo, r.ShadowHi),
                   rnd.Uniform(0.002, 0.008) * longest,
                   cv::Point2f(static_cast<float>(rnd.Uniform(-0.002, 0.004) * longest),
                               static_cast<float>(rnd.Uniform(-0.002, 0.004) * longest)));
        PastePage(image, sheet, *other, rnd.Signed(0.0, 0.006));
    }
    if (rnd.Chance(0.3) && r.CrossingObjects > 0) {
        StickyNote(image, rnd, RandomPoint(rnd, frame));
    }

    DropShadow(image, quad, rnd.Uniform(r.ShadowLo, r.ShadowHi),
               rnd.Uniform(0.002, 0.008) * longest,
               cv::Point2f(static_cast<float>(rnd.Uniform(-0.002, 0.004) * longest),
                           static_cast<float>(rnd.Uniform(-0.002, 0.004) * longest)));
    PastePage(image, RenderPageFor(rnd, quad, pose, look), quad, rnd.Signed(0.0, 0.006));

    const int crossing = r.CrossingObjects > 0 ? rnd.Int(1, r.CrossingObjects) : 0;
    for (int i = 0; i < crossing; ++i) {
        for (int tries = 0; tries < 8; ++tries) {
            const int side = rnd.Int(0, 3);
            const cv::Point2f middle = (quad[static_cast<std::size_t>(side)] +
                                        quad[static_cast<std::size_t>((side + 1) % 4)]) *
                                       0.5f;
            if (middle.x < 0 || middle.y < 0 || middle.x >= frame.width ||
                middle.y >= frame.height) {
                continue;
            }
            if (rnd.Chance(0.5)) {
                PenAcross(image, rnd, quad, side);
            } else {
                ThumbOn(image, rnd, quad, side);
            }
            break;
        }
    }
    Optics(image, rnd, r);
    scene.Image = Sensor(image, full, rnd, r, scene);
    return scene;
}

// A page that fills the whole image: a flat scan or a rendered PDF page.
TScene FullFrameScene(const std::string& name, TRandom& rnd) {
    static const cv::Size KSizes[] = {
        {2480, 3508}, {2550, 3300}, {1654, 2339}, {1240, 1754}, {3508, 2480}};
    const cv::Size frame = KSizes[rnd.Int(0, 4)];
    const bool scan = name == "flatscan";
    TPageLook look = RandomPageLook(rnd, !scan);
    TScene scene;
    scene.HasPage = false;
    if (!scan) {
        look.Paper = cv::Scalar(255, 255, 255);
        look.PrintedFrame = rnd.Chance(0.35);
        scene.Image = RenderPage(rnd, frame, look);
        scene.JpegQuality = rnd.Chance(0.5) ? 0 : rnd.Int(85, 95);
        return scene;
    }
    cv::Mat image = RenderPage(rnd, frame, look);
    // The sheet lies a little askew on the glass.
    const cv::Mat turn = cv::getRotationMatrix2D(
        cv::Point2f(frame.width / 2.0f, frame.height / 2.0f), rnd.Uniform(-1.5, 1.5), 1.0);
    cv::warpAffine(image, image, turn, frame, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    if (rnd.Chance(0.25)) {
        // The lid's shadow along one edge of the glass.
        const int width = rnd.Int(2, 8);
        const cv::Rect edges[] = {{0, 0, frame.width, width},
                                  {0, 0, width, frame.height},
                                  {frame.width - width, 0, width, frame.height},
                                  {0, frame.height - width, frame.width, width}};
        image(edges[rnd.Int(0, 3)]) *= rnd.Uniform(0.6, 0.85);
    }
    ApplyGain(image,
              LightField(rnd, cv::Size(100, 140), rnd.Uniform(0.0, 0.05), rnd.Uniform(0.0, 0.04)));
    Defocus(image, rnd.Uniform(0.4, 1.0));
    AddNoise(image, rnd, rnd.Uniform(1.0, 3.0), rnd.Uniform(0.3, 1.0));
    scene.Image = image;
    scene.JpegQuality = rnd.Int(70, 92);
    return scene;
}

} // namespace

const std::vector<TSceneCategory>& SceneCategories() {
    static const std::vector<TSceneCategory> KCategories = {
        {"dark", true, true},      {"light", true, true},       {"textured", true, true},
        {"cluttered", true, true}, {"lowcontrast", true, true}, {"lighting", true, true},
        {"blurnoise", true, true}, {"jpeg", true, true},        {"sideways", true, true},
        {"cutoff", true, true},    {"fill", true, true},        {"flatscan", false, false},
        {"pdfpage", false, false}, {"emptydesk", false, true},
    };
    return KCategories;
}

TScene MakeScene(const TSceneCategory& category, std::uint32_t seed) {
    std::uint32_t mixed = seed * 2654435761u;
    for (const char c : category.Name) {
        mixed = mixed * 31u + static_cast<std::uint8_t>(c);
    }
    TRandom rnd(mixed);
    if (category.Name == "flatscan" || category.Name == "pdfpage") {
        return FullFrameScene(category.Name, rnd);
    }
    return PhotoScene(category.Name, rnd);
}

} // namespace bitonix
