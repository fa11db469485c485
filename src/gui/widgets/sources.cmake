# Files of src/gui/widgets (paths relative to src/).
target_sources(velkorlib PRIVATE
)
