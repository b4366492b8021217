// Every code line below is a spelling that check-lsp-no-throw.sh must report.
throw std::runtime_error("x");
try {
} catch (...) {}
value.at("uri");
value.get<int32_t>();
std::get<RpcNotification>(message);
value.get_ref<const std::string&>();
value["uri"] = 1;
it.key();
value.dump();
nlohmann::json::parse(text);
std::stoi(text);
// value.at("in a comment") is not code
const std::string* text = value.get_ptr<const std::string*>();  // the non-throwing form
auto parsed = zevo::json::parse(text);
{"dene", "try-catch", "a snippet text"},
