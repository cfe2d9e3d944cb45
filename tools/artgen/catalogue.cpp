#include "catalogue.h"

#include "pictures/pictures.h"

namespace {

// How each picture is drawn and at what size; what it is (projection, start region, caption)
// comes from the shared list in resources/pictures.inc.
struct Drawing {
    int id;
    int width, height;
    void (*draw)(Canvas&);
};

struct Listing {
    int id;
    unsigned flags;
    Region zoom;
    const char* caption;
};

constexpr unsigned FRONT = kFront;
constexpr unsigned FLOOR = kFloor;
constexpr unsigned ZOOM = kFront | kZoom;

constexpr Listing kListings[] = {
#define QUORVEL_PICTURE(id, kind, left, top, right, bottom, caption) \
    {id, kind, {left, top, right, bottom}, caption},
#include "pictures.inc"
#undef QUORVEL_PICTURE
};

const Listing* FindListing(int id) {
    for (const Listing& listing : kListings)
        if (listing.id == id) return &listing;
    return nullptr;
}

}  // namespace

const std::vector<PictureArt>& Pictures() {
    static const std::vector<Drawing> drawings{
        {200, 128, 256, SurveyRobot},
        {201, 128, 256, FlightSuitScout},
        {202, 256, 128, LongRangeCruiser},
        {203, 256, 256, RingedGasGiant},
        {204, 256, 128, RelaySatellite},
        {205, 256, 128, CometOverIce},
        {206, 256, 128, AsteroidMiner},
        {207, 256, 256, SpiralGalaxy},
        {208, 256, 256, CraterOutpost},
        {209, 256, 256, ReefSerpent},
        {210, 128, 256, SentinelTower},
        {211, 256, 128, ReactorSchematic},
        {212, 128, 256, CargoLoaderMech},
        {213, 256, 256, StarChart},
        {214, 256, 128, OrbitalRingStation},
        {215, 256, 128, SaltFlatRacer},
        {216, 256, 256, BinaryStars},
        {217, 128, 256, DriftingSkyJelly},
        {218, 256, 256, CrystalMoon},
        {219, 256, 128, ShuttleOnApproach},
        {220, 256, 256, DomedColony},
        {221, 256, 256, StarNursery},
        {222, 256, 128, IonDriveCutaway},
        {223, 128, 256, MountainObservatory},
        {224, 128, 256, GuardianStatue},
        {225, 256, 128, RepairDrone},
        {226, 128, 128, Emblem},
        {227, 128, 128, DataCrystal},
        {228, 128, 256, StiltWalker},
        {229, 256, 128, EscortFrigate},
        {230, 256, 128, LunarBase},
        {231, 128, 256, RocketOnPad},
        {232, 256, 256, PlanetCrossSection},
        {233, 128, 256, DesertNomad},
        {234, 256, 128, HoverBargeConvoy},
        {235, 256, 128, VoidWhale},
        {236, 256, 256, VolcanicMoon},
        {237, 128, 128, SolarSailYacht},
        {238, 256, 128, NightSkyline},
        {239, 256, 128, RingGate},
        {240, 128, 128, RadarDish},
        {241, 128, 128, MarshLurker},
        {242, 128, 128, PilotHelmet},
        {243, 256, 128, PatrolInterceptor},
        {244, 256, 256, IceComet},
        {245, 128, 128, TidallyLockedWorld},
        {246, 256, 256, MiningPlatform},
        {247, 256, 128, ContainerHauler},
        {248, 256, 256, WingedReptile},
        {249, 256, 256, StellarFlare},
        {250, 256, 128, FloatingIslands},
        {251, 128, 128, DockingClampPlan},
        {252, 128, 256, EnvoyAndroid},
        {253, 256, 128, RoverOnDunes},
        {254, 256, 128, StarFreighter},
        {255, 128, 128, Eclipse},
        {256, 128, 128, TrackingDisplay},
        {257, 256, 128, CraterField},
        {258, 128, 256, MaintenanceRobot},
        {259, 128, 256, EvaEngineer},
        {260, 256, 128, MaglevExpress},
        {261, 256, 256, WheelHabitat},
        {262, 128, 256, CrystalSpire},
        {263, 256, 128, SunriseOverRidges},
        {264, 256, 256, ArmouredBeetle},
        {265, 256, 256, AsteroidBelt},
        {266, 128, 128, FusionCell},
        {267, 128, 256, JungleRuins},
        {268, 256, 128, CanyonFlight},
        {269, 256, 256, OutpostMap},
        {270, 128, 256, SkyhookElevator},
        {271, 128, 256, DeepSpaceProbe},
        {272, 128, 256, SpireCity},
        {273, 128, 256, GlowingTree},
        {274, 128, 128, MaskFace},
        {275, 256, 256, BlackHole},
        {276, 128, 256, Obelisk},
        {277, 128, 128, Lantern},
        {278, 128, 256, CyclopsSentry},
        {279, 128, 128, MantaGlider},
        {280, 256, 256, DerelictCruiser},
        {281, 256, 128, StarCluster},
        {282, 128, 256, ColonyGuard},
        {283, 256, 256, HoverBike},
        {284, 128, 256, DrillRig},
        {285, 128, 256, CliffMonastery},
        {286, 128, 128, HyperspaceTunnel},
        {287, 128, 256, WaterfallCliffs},
        {288, 256, 256, CoastlineChart},
        {289, 128, 128, Pulsar},
    };
    static const std::vector<PictureArt> pictures = [] {
        std::vector<PictureArt> all;
        for (const Drawing& d : drawings) {
            const Listing* listing = FindListing(d.id);
            all.push_back({d.id, d.width, d.height, listing ? listing->flags : 0u,
                           listing ? listing->zoom : Region{}, d.draw});
        }
        return all;
    }();
    return pictures;
}

const std::vector<CaptionLine>& Captions() {
    static const std::vector<CaptionLine> captions = [] {
        std::vector<CaptionLine> lines;
        for (const Listing& listing : kListings) lines.push_back({listing.id, listing.caption});
        return lines;
    }();
    return captions;
}

std::string CaptionOf(int id) {
    for (const CaptionLine& line : Captions())
        if (line.id == id) return line.text;
    return {};
}
