# Files of src/formats (paths relative to src/).
target_sources(velkorlib PRIVATE
)
