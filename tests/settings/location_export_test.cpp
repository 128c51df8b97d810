// The root page's location export and MyLocation, over the weather stand-ins.
#include "settings/location_export.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/services/location_updater.h"
#include "platform/services/weather_store.h"
#include "settings/location_file.h"
#include "settings/my_location.h"
#include "settings/settings_fixture.h"

namespace vx {
namespace {

constexpr double kNow = 1'700'000'000.0;  // the fixture's clock
constexpr std::string_view kFile = "/var/mobile/Documents/myLocation.txt";

plist::Dictionary coordinates(double latitude, double longitude) {
    return plist::Dictionary{{"Latitude", latitude}, {"Longitude", longitude}};
}

class LocationExport : public test::SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        root.makeFolder("/var/mobile/Documents");
    }

    // A local city updated `age` seconds ago (no update time when age is negative).
    void writeWeather(double age, double latitude = 48.8566, double longitude = 2.3522) {
        plist::Dictionary city = coordinates(latitude, longitude);
        city.set("Name", "Paris");
        if (age >= 0) city.set("UpdateTime", weather::dateFromSince1970(kNow - age));
        plist::Dictionary data{{"LocalCity", city}, {"DeviceLocation", coordinates(-33.8688, 151.2093)}};
        ASSERT_TRUE(weather::save(data));
    }
    bool fileExists() const { return std::filesystem::exists(root.host(kFile)); }
};

// The file: signs kept, six decimals, no line feed at the end, the whole file replaced.
TEST_F(LocationExport, ThirtyMinutesOldIsFreshOneSecondMoreWritesAndRefreshesToTheDevice) {
    EXPECT_EQ(locationFileContents(0, -0.0000004), "Lat=0.000000\nLong=-0.000000");
    root.writeFile(kFile, "Lat=1.000000\nLong=2.000000\nsomething longer left over");
    writeWeather(1800, 10.5, -20.25);
    EXPECT_EQ(exportLocalCityLocation(), LocationExportOutcome::Written);
    EXPECT_EQ(root.readFile(kFile), "Lat=10.500000\nLong=-20.250000");
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
    EXPECT_FALSE(weather::flag(weather::load(), weather::kTrackingActiveKey));

    writeWeather(1801);
    const int before = LocationUpdater::sharedLocationUpdater()->completedFetches();
    EXPECT_EQ(exportLocalCityLocation(), LocationExportOutcome::WrittenAndRefreshing);
    auto refreshed = weather::load();
    for (auto key :
         {weather::kTrackingReadyKey, weather::kTrackingActiveKey, weather::kLocalWeatherEnabledKey})
        EXPECT_TRUE(weather::flag(refreshed, key)) << key;
    // Written at once with the city's position, without waiting for the refresh.
    EXPECT_EQ(root.readFile(kFile), "Lat=48.856600\nLong=2.352200");

    RunLoop::main().advance(LocationUpdater::kFetchDuration);
    EXPECT_EQ(LocationUpdater::sharedLocationUpdater()->completedFetches(), before + 1);
    // The next press finds fresh data at the new place and refreshes nothing.
    EXPECT_EQ(exportLocalCityLocation(), LocationExportOutcome::Written);
    EXPECT_EQ(root.readFile(kFile), "Lat=-33.868800\nLong=151.209300");
}

TEST_F(LocationExport, MissingWeatherPiecesOrFolderWriteNoFile) {
    writeWeather(5000);
    ClassRegistry::shared().unregisterClass("LocationUpdater");
    EXPECT_EQ(exportLocalCityLocation(), LocationExportOutcome::WeatherMissing);
    registerWeatherClasses();
    ASSERT_TRUE(weather::save(plist::Dictionary{}));
    EXPECT_EQ(exportLocalCityLocation(), LocationExportOutcome::NoLocalCity);
    writeWeather(-1);
    EXPECT_EQ(exportLocalCityLocation(), LocationExportOutcome::NoUpdateTime);
    EXPECT_FALSE(fileExists() || RunLoop::main().pendingCount());

    std::filesystem::remove_all(root.host("/var/mobile/Documents"));
    writeWeather(0);
    log::Capture captured;
    EXPECT_EQ(exportLocalCityLocation(), LocationExportOutcome::WriteFailed);
    EXPECT_TRUE(captured.contains("myLocation.txt"));
}

TEST_F(LocationExport, MyLocationWritesOneFixThenStopsLogsFailuresAndKeepsTrying) {
    ASSERT_TRUE(weather::save(plist::Dictionary{}));  // the device has no position yet
    auto client = MyLocation::init();
    log::Capture captured;
    client->startFindingMe();
    RunLoop::main().advance(2 * CLLocationManager::kFixInterval);
    EXPECT_TRUE(captured.contains("Error: Error Domain=kCLErrorDomain Code=0"));
    EXPECT_TRUE(client->locationManager()->isUpdating());
    EXPECT_FALSE(fileExists());

    ASSERT_TRUE(weather::save(plist::Dictionary{{"DeviceLocation", coordinates(1, 2)}}));
    RunLoop::main().advance(CLLocationManager::kFixInterval);
    EXPECT_EQ(root.readFile(kFile), "Lat=1.000000\nLong=2.000000");
    EXPECT_FALSE(client->locationManager()->isUpdating());

    // Started again, it writes the next fix.
    ASSERT_TRUE(weather::save(plist::Dictionary{{"DeviceLocation", coordinates(35.6762, 139.6503)}}));
    client->startFindingMe();
    RunLoop::main().advance(CLLocationManager::kFixInterval);
    EXPECT_EQ(root.readFile(kFile), "Lat=35.676200\nLong=139.650300");

    // A client that has gone leaves no pending work that could call into it.
    client->startFindingMe();
    client.reset();
    RunLoop::main().advance(5);
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
}

}  // namespace
}  // namespace vx
