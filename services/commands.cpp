#include "services/commands.h"

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

#include "services/mapping_file.h"
#include "services/server.h"
#include "services/store.h"

namespace linkmill::services {
namespace {

constexpr int kFailed = 1;

void Complain(const std::string& message) { std::cerr << "linkmill-services: " << message << "\n"; }

std::unique_ptr<Store> OpenStore(const Options& options, std::string* path) {
  std::string error;
  *path = options.db.empty() ? DefaultDatabasePath(&error) : options.db;
  std::unique_ptr<Store> store = path->empty() ? nullptr : Store::Open(*path, &error);
  if (!store) Complain(error);
  return store;
}

// Read with stdio rather than a stream: a stream reading a folder throws.
std::optional<std::string> ReadFile(const std::string& name) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  bool failed = std::ferror(file);
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

std::string AddressText(const std::string& host, int port) {
  bool ipv6 = host.find(':') != std::string::npos;
  return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

}  // namespace

int RunServe(const Options& options) {
  // SIGINT and SIGTERM are blocked in every thread, the HTTP workers included,
  // and taken by one waiting thread that stops the server outside any handler.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  std::string path;
  std::unique_ptr<Store> store = OpenStore(options, &path);
  if (!store) return kFailed;
  Server server(*store);
  int port = server.Bind(options.host, options.port);
  if (port < 0) {
    Complain("cannot listen on " + AddressText(options.host, options.port) +
             " (in use, or not an address of this machine)");
    return kFailed;
  }
  std::cout << "listening on " << AddressText(options.host, port) << std::endl;

  std::thread waiter([&] {
    int signal = 0;
    sigwait(&stop_signals, &signal);
    server.Stop();
  });
  bool served = server.Run();
  // Wakes the waiter when the server ended without a signal; a signal it has
  // already taken leaves this one pending and unseen.
  pthread_kill(waiter.native_handle(), SIGTERM);
  waiter.join();
  if (!served) Complain("the server failed");
  return served ? 0 : kFailed;
}

int RunImport(const Options& options) {
  std::optional<std::string> bytes = ReadFile(options.file);
  if (!bytes) {
    Complain("cannot read " + options.file);
    return kFailed;
  }
  MappingFile file = ParseMappingFile(*bytes);
  for (const LineFault& fault : file.faults) {
    std::cerr << options.file << ":" << fault.line << ": " << fault.message << "\n";
  }
  if (!file.faults.empty()) {
    Complain(std::to_string(file.faults.size()) + " bad line(s) in " + options.file +
             "; nothing imported");
    return kFailed;
  }
  std::string path;
  std::unique_ptr<Store> store = OpenStore(options, &path);
  if (!store) return kFailed;
  std::string error;
  if (!store->Import(file.mappings, &error)) {
    Complain(error + "; nothing imported");
    return kFailed;
  }
  std::cout << "imported " << file.mappings.bdhd.size() << " bdhd and " << file.mappings.qvod.size()
            << " qvod mapping(s) from " << options.file << " (" << (file.gbk ? "GBK" : "UTF-8")
            << ") into " << path << "\n";
  return 0;
}

int RunExport(const Options& options) {
  std::string path;
  std::unique_ptr<Store> store = OpenStore(options, &path);
  if (!store) return kFailed;
  Mappings mappings;
  std::string error;
  if (!store->Export(&mappings, &error)) {
    Complain(error);
    return kFailed;
  }
  std::optional<std::string> text = FormatMappingFile(mappings);
  if (!text) {
    Complain("the store holds a link that is not valid GBK");
    return kFailed;
  }
  std::cout << *text << std::flush;
  if (!std::cout) {
    Complain("cannot write the mappings");
    return kFailed;
  }
  return 0;
}

}  // namespace linkmill::services
