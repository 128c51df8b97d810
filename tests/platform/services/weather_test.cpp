// The weather and location stand-ins over the weather data file.
#include <gtest/gtest.h>

#include "platform/foundation/run_loop.h"
#include "platform/services/cl_location_manager.h"
#include "platform/services/location_updater.h"
#include "platform/services/weather_location_manager.h"
#include "platform/services/weather_preferences.h"
#include "platform/services/weather_store.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

constexpr double kNow = 1'650'000'000.0;

class Counter : public CLLocationManagerDelegate {
public:
    void didUpdateToLocation(const CLLocationManagerPtr&, const CLLocationPtr& newLocation,
                             const CLLocationPtr& oldLocation) override {
        ++fixes;
        last = newLocation;
        previous = oldLocation;
    }
    void didFailWithError(const CLLocationManagerPtr&, const LocationError&) override { ++errors; }
    int fixes = 0;
    int errors = 0;
    CLLocationPtr last, previous;
};

class Weather : public ::testing::Test {
protected:
    void SetUp() override { RunLoop::main().reset(kNow); }
    void TearDown() override { RunLoop::main().reset(kNow); }
    test::ScopedDeviceRoot root;
};

TEST_F(Weather, CityEntriesThatAreIncompleteGiveNoDateOrPosition) {
    ASSERT_TRUE(weather::save(plist::Dictionary{
        {"LocalCity",
         plist::Dictionary{
             {"Name", "Oslo"}, {"Latitude", "59.9"}, {"Longitude", 10.75}, {"UpdateTime", 12}}}}));
    auto city = WeatherPreferences::sharedPreferences()->localWeatherCity();
    ASSERT_NE(city, nullptr);
    EXPECT_EQ(city->name(), "Oslo");
    EXPECT_EQ(city->updateTime(), std::nullopt);  // not a date
    EXPECT_EQ(city->location(), nullptr);         // latitude is not a number

    ASSERT_TRUE(weather::save(plist::Dictionary{{"LocalCity", "Oslo"}}));
    EXPECT_EQ(WeatherPreferences::sharedPreferences()->localWeatherCity(), nullptr);
    std::filesystem::remove(root.host(weather::kWeatherDataPath));
    EXPECT_EQ(WeatherPreferences::sharedPreferences()->localWeatherCity(), nullptr);
    EXPECT_FALSE(WeatherLocationManager::sharedWeatherLocationManager()->locationTrackingIsReady());
}

TEST_F(Weather, SettersKeepTheRestOfTheFile) {
    ASSERT_TRUE(weather::save(
        plist::Dictionary{{"DeviceLocation", plist::Dictionary{{"Latitude", 1}, {"Longitude", 2}}}}));
    auto manager = WeatherLocationManager::sharedWeatherLocationManager();
    manager->setLocationTrackingReady(true, false);
    manager->setLocationTrackingActive(true);
    WeatherPreferences::sharedPreferences()->setLocalWeatherEnabled(true);
    EXPECT_TRUE(manager->locationTrackingIsReady());
    EXPECT_TRUE(manager->locationTrackingIsActive());
    EXPECT_TRUE(WeatherPreferences::sharedPreferences()->isLocalWeatherEnabled());
    ASSERT_NE(manager->location(), nullptr);
    EXPECT_EQ(manager->location()->coordinate(), (CLLocationCoordinate2D{1, 2}));
}

TEST_F(Weather, ALaterFetchReplacesOneUnderWay) {
    ASSERT_TRUE(weather::save(plist::Dictionary{
        {"LocalCity",
         plist::Dictionary{
             {"Latitude", 1}, {"Longitude", 1}, {"UpdateTime", weather::dateFromSince1970(0)}}}}));
    auto updater = LocationUpdater::sharedLocationUpdater();
    auto city = WeatherPreferences::sharedPreferences()->localWeatherCity();
    const int before = updater->completedFetches();
    updater->updateWeatherForLocation(CLLocation::initWithLatitude(5, 5), city);
    RunLoop::main().advance(1);
    updater->updateWeatherForLocation(nullptr, city);  // no position: only the time changes
    RunLoop::main().advance(LocationUpdater::kFetchDuration);
    EXPECT_EQ(updater->completedFetches(), before + 1);
    auto refreshed = WeatherPreferences::sharedPreferences()->localWeatherCity();
    EXPECT_EQ(refreshed->updateTime(), kNow + 1 + LocationUpdater::kFetchDuration);
    EXPECT_EQ(refreshed->location()->coordinate(), (CLLocationCoordinate2D{1, 1}));
    updater->updateWeatherForLocation(CLLocation::initWithLatitude(5, 6), city);  // a position is kept
    RunLoop::main().advance(LocationUpdater::kFetchDuration);
    EXPECT_EQ(WeatherPreferences::sharedPreferences()->localWeatherCity()->location()->coordinate(),
              (CLLocationCoordinate2D{5, 6}));
}

TEST_F(Weather, LocationManagerDeliversEverySecondUntilStopped) {
    ASSERT_TRUE(weather::save(plist::Dictionary{
        {"DeviceLocation", plist::Dictionary{{"Latitude", -1.25}, {"Longitude", 3.5}}}}));
    auto counter = std::make_shared<Counter>();
    auto manager = CLLocationManager::init();
    manager->setDelegate(counter);
    manager->startUpdatingLocation();
    manager->startUpdatingLocation();  // already updating: no second stream of fixes
    RunLoop::main().advance(3 * CLLocationManager::kFixInterval);
    EXPECT_EQ(counter->fixes, 3);
    ASSERT_NE(counter->last, nullptr);
    EXPECT_EQ(counter->previous->coordinate(), counter->last->coordinate());
    EXPECT_EQ(manager->location(), counter->last);

    manager->stopUpdatingLocation();
    RunLoop::main().advance(5);
    EXPECT_EQ(counter->fixes, 3);
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);

    // A delegate that has gone is not called; the manager carries on.
    manager->startUpdatingLocation();
    counter.reset();
    RunLoop::main().advance(2);
    EXPECT_NE(manager->location(), nullptr);
}

}  // namespace
}  // namespace vx
