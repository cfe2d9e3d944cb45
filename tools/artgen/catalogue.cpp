#include "catalogue.h"

#include "pictures/pictures.h"

const std::vector<PictureArt>& Pictures() {
    static const std::vector<PictureArt> pictures{
        {200, 128, 256, kFloor, {}, SurveyRobot},
        {201, 128, 256, kFloor, {}, FlightSuitScout},
        {202, 256, 128, kFront, {}, LongRangeCruiser},
        {203, 256, 256, kFront | kZoom, {0.25f, 0.25f, 0.25f, 0.25f}, RingedGasGiant},
        {204, 256, 128, kFront | kZoom, {0.25f, 0.25f, 0.25f, 0.25f}, RelaySatellite},
        {205, 256, 128, kFront | kZoom, {0.32f, 0.18f, 0.33f, 0.19f}, CometOverIce},
        {206, 256, 128, kFront, {}, AsteroidMiner},
        {207, 256, 256, kFront | kZoom, {0.5f, 0.5f, 0.5f, 0.5f}, SpiralGalaxy},
        {208, 256, 256, kFront | kZoom, {0.34f, 0.6f, 0.54f, 0.84f}, CraterOutpost},
        {209, 256, 256, kFront, {}, ReefSerpent},
        {210, 128, 256, kFloor, {}, SentinelTower},
        {211, 256, 128, kFront | kZoom, {0.4f, 0.45f, 0.6f, 0.55f}, ReactorSchematic},
        {212, 128, 256, kFloor, {}, CargoLoaderMech},
        {213, 256, 256, kFront, {}, StarChart},
        {214, 256, 128, kFront, {}, OrbitalRingStation},
        {215, 256, 128, kFront, {}, SaltFlatRacer},
        {216, 256, 256, kFront | kZoom, {0.75f, 0.75f, 0.75f, 0.75f}, BinaryStars},
        {217, 128, 256, kFront, {}, DriftingSkyJelly},
        {218, 256, 256, kFront, {}, CrystalMoon},
        {219, 256, 128, kFront, {}, ShuttleOnApproach},
        {220, 256, 256, kFront, {}, DomedColony},
        {221, 256, 256, kFront | kZoom, {0.3f, 0.3f, 0.3f, 0.3f}, StarNursery},
        {222, 256, 128, kFront, {}, IonDriveCutaway},
        {223, 128, 256, kFront | kZoom, {0.4f, 0.1f, 0.6f, 0.3f}, MountainObservatory},
        {224, 128, 256, kFloor, {}, GuardianStatue},
        {225, 256, 128, kFront | kZoom, {0.75f, 0.43f, 0.75f, 0.43f}, RepairDrone},
        {226, 128, 128, kFloor, {}, Emblem},
        {227, 128, 128, kFloor, {}, DataCrystal},
        {228, 128, 256, kFloor, {}, StiltWalker},
        {229, 256, 128, kFront, {}, EscortFrigate},
        {230, 256, 128, kFront | kZoom, {0.25f, 0.25f, 0.25f, 0.25f}, LunarBase},
        {231, 128, 256, kFloor, {}, RocketOnPad},
        {232, 256, 256, kFront | kZoom, {0.5f, 0.5f, 0.5f, 0.5f}, PlanetCrossSection},
        {233, 128, 256, kFloor, {}, DesertNomad},
        {234, 256, 128, kFront, {}, HoverBargeConvoy},
        {235, 256, 128, kFront, {}, VoidWhale},
        {236, 256, 256, kFront | kZoom, {0.58f, 0.19f, 0.58f, 0.19f}, VolcanicMoon},
        {237, 128, 128, kFront, {}, SolarSailYacht},
        {238, 256, 128, kFront, {}, NightSkyline},
        {239, 256, 128, kFront | kZoom, {0.6f, 0.5f, 0.6f, 0.5f}, RingGate},
        {240, 128, 128, kFront | kZoom, {0.5f, 0.5f, 0.5f, 0.5f}, RadarDish},
        {241, 128, 128, kFront, {}, MarshLurker},
        {242, 128, 128, kFront, {}, PilotHelmet},
        {243, 256, 128, kFront, {}, PatrolInterceptor},
        {244, 256, 256, kFront, {}, IceComet},
        {245, 128, 128, kFront, {}, TidallyLockedWorld},
        {246, 256, 256, kFront, {}, MiningPlatform},
        {247, 256, 128, kFront, {}, ContainerHauler},
        {248, 256, 256, kFront, {}, WingedReptile},
        {249, 256, 256, kFront | kZoom, {0.25f, 0.25f, 0.25f, 0.25f}, StellarFlare},
        {250, 256, 128, kFront, {}, FloatingIslands},
        {251, 128, 128, kFront, {}, DockingClampPlan},
        {252, 128, 256, kFloor, {}, EnvoyAndroid},
        {253, 256, 128, kFront, {}, RoverOnDunes},
        {254, 256, 128, kFront, {}, StarFreighter},
        {255, 128, 128, kFront, {}, Eclipse},
        {256, 128, 128, kFront | kZoom, {0.5f, 0.5f, 0.5f, 0.5f}, TrackingDisplay},
        {257, 256, 128, kFront | kZoom, {0.2f, 0.2f, 0.2f, 0.2f}, CraterField},
        {258, 128, 256, kFloor, {}, MaintenanceRobot},
        {259, 128, 256, kFloor, {}, EvaEngineer},
        {260, 256, 128, kFront, {}, MaglevExpress},
        {261, 256, 256, kFront | kZoom, {0.5f, 0.5f, 0.5f, 0.5f}, WheelHabitat},
        {262, 128, 256, kFloor, {}, CrystalSpire},
        {263, 256, 128, kFront, {}, SunriseOverRidges},
        {264, 256, 256, kFloor, {}, ArmouredBeetle},
        {265, 256, 256, kFront, {}, AsteroidBelt},
        {266, 128, 128, kFront | kZoom, {0.5f, 0.5f, 0.5f, 0.5f}, FusionCell},
        {267, 128, 256, kFront, {}, JungleRuins},
        {268, 256, 128, kFront | kZoom, {0.69f, 0.87f, 0.69f, 0.87f}, CanyonFlight},
        {269, 256, 256, kFront | kZoom, {0.4f, 0.5f, 0.4f, 0.5f}, OutpostMap},
        {270, 128, 256, kFront, {}, SkyhookElevator},
        {271, 128, 256, kFront | kZoom, {0.25f, 0.25f, 0.25f, 0.25f}, DeepSpaceProbe},
        {272, 128, 256, kFront | kZoom, {0.5f, 0.25f, 0.5f, 0.25f}, SpireCity},
        {273, 128, 256, kFloor, {}, GlowingTree},
        {274, 128, 128, kFront | kZoom, {0.47f, 0.23f, 0.54f, 0.34f}, MaskFace},
        {275, 256, 256, kFront | kZoom, {0.5f, 0.5f, 0.5f, 0.5f}, BlackHole},
        {276, 128, 256, kFloor, {}, Obelisk},
        {277, 128, 128, kFront | kZoom, {0.5f, 0.27f, 0.5f, 0.27f}, Lantern},
        {278, 128, 256, kFloor, {}, CyclopsSentry},
        {279, 128, 128, kFront, {}, MantaGlider},
        {280, 256, 256, kFront, {}, DerelictCruiser},
        {281, 256, 128, kFront | kZoom, {0.25f, 0.25f, 0.25f, 0.25f}, StarCluster},
        {282, 128, 256, kFloor, {}, ColonyGuard},
        {283, 256, 256, kFloor, {}, HoverBike},
        {284, 128, 256, kFloor, {}, DrillRig},
        {285, 128, 256, kFront | kZoom, {0.5f, 0.25f, 0.5f, 0.25f}, CliffMonastery},
        {286, 128, 128, kFront | kZoom, {0.5f, 0.5f, 0.5f, 0.5f}, HyperspaceTunnel},
        {287, 128, 256, kFront, {}, WaterfallCliffs},
        {288, 256, 256, kFront | kZoom, {0.25f, 0.76f, 0.25f, 0.76f}, CoastlineChart},
        {289, 128, 128, kFront | kZoom, {0.5f, 0.5f, 0.5f, 0.5f}, Pulsar},
    };
    return pictures;
}

const std::vector<CaptionLine>& Captions() {
#define QUORVEL_CAPTION(id, text) {id, text},
    static const std::vector<CaptionLine> captions{
#include "captions.inc"
    };
#undef QUORVEL_CAPTION
    return captions;
}

std::string CaptionOf(int id) {
    for (const CaptionLine& line : Captions())
        if (line.id == id) return line.text;
    return {};
}
