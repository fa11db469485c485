# Files of src/devices (paths relative to src/).
target_sources(velkorlib PRIVATE
)
